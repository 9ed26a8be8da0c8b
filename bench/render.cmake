# The DIB renderer against pixman's nearest-neighbour scaling of the same picture.
find_package(PkgConfig REQUIRED)
pkg_check_modules(PIXMAN REQUIRED IMPORTED_TARGET pixman-1)
add_executable(bench_render ${CMAKE_CURRENT_SOURCE_DIR}/bench_render.cpp)
target_link_libraries(bench_render PRIVATE glimsel_imaging PkgConfig::PIXMAN)
