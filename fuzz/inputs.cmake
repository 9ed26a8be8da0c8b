# The readers of outside input other than pictures and databases, under libFuzzer: the
# settings file, the command line, and the folder source over folders of odd names.
# Their seeds are kept in fuzz/corpus; scripts/fuzz.sh runs them.
add_executable(fuzz_settings ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_settings.cpp)
target_link_libraries(fuzz_settings PRIVATE glimsel_ini)
target_link_options(fuzz_settings PRIVATE -fsanitize=fuzzer)

add_executable(fuzz_cmdline ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_cmdline.cpp)
target_link_libraries(fuzz_cmdline PRIVATE glimsel_cmdline)
target_link_options(fuzz_cmdline PRIVATE -fsanitize=fuzzer)

add_executable(fuzz_folder ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_folder.cpp)
target_link_libraries(fuzz_folder PRIVATE glimsel_sources)
target_link_options(fuzz_folder PRIVATE -fsanitize=fuzzer)
