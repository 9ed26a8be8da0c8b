# Cross-builds the Windows program with mingw-w64 on a Debian machine.
#
# The -posix variant of the compilers has std::thread and std::mutex; the default
# (win32 threads) variant lacks them. Everything links statically, so Glimsel.scr is one
# file that needs nothing but the system's own DLLs. Test programs run under Wine.
#
#   cmake -S . -B build-win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
#         -DGLIMSEL_WINDOWS_DEPS=<prefix of the cross-built libraries>
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(GLIMSEL_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${GLIMSEL_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${GLIMSEL_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${GLIMSEL_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${GLIMSEL_MINGW_TRIPLE})
if(GLIMSEL_WINDOWS_DEPS)
  list(APPEND CMAKE_FIND_ROOT_PATH ${GLIMSEL_WINDOWS_DEPS})
endif()
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# ctest starts the test programs (and the test discovery) through Wine.
find_program(GLIMSEL_WINE NAMES wine wine64)
if(GLIMSEL_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${GLIMSEL_WINE})
endif()
