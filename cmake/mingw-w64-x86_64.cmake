# Cross-compiling for 64-bit Windows with Debian's mingw-w64
# (g++-mingw-w64-x86-64-posix): the posix thread model, so that std::thread
# and std::mutex work. scripts/build-windows uses it through Qt's own
# toolchain file, and scripts/build-qt-windows builds Qt with it:
#   cmake -S . -B build-win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
# Which programs carry the C++ runtime inside is decided per program
# (tivolan_static_runtime in CMakeLists.txt), not here.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(TIVOLAN_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${TIVOLAN_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TIVOLAN_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${TIVOLAN_MINGW_TRIPLET}-windres)

# Libraries and headers of the target only; programs of the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${TIVOLAN_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
