# Listing a large picture folder with the folder source, against find.
add_executable(bench_folder ${CMAKE_CURRENT_SOURCE_DIR}/bench_folder.cpp)
target_link_libraries(bench_folder PRIVATE glimsel_sources)

# The first picture of a large photo library with subfolders on, and the repeat rate
# with and without no repeats.
add_executable(bench_library ${CMAKE_CURRENT_SOURCE_DIR}/bench_library.cpp)
target_link_libraries(bench_library PRIVATE glimsel_sources)

# Opening a large image database, against a bare reader.
add_executable(bench_database ${CMAKE_CURRENT_SOURCE_DIR}/bench_database.cpp)
target_link_libraries(bench_database PRIVATE glimsel_sources)
