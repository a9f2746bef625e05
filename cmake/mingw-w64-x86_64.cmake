# Cross build for 64-bit Windows with Debian's mingw-w64 (g++-mingw-w64-x86-64-posix):
#   cmake -S . -B out/windows -G Ninja -DKW_WIDGETS=OFF \
#         -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(KW_MINGW_TRIPLE x86_64-w64-mingw32)

# The posix threading variant: with GCC 12 the win32 variant has no
# std::thread, std::mutex or std::condition_variable. Its winpthread runtime
# is linked in statically below, so nothing of it shows outside the .exe.
set(CMAKE_C_COMPILER ${KW_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KW_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${KW_MINGW_TRIPLE}-windres)

# Headers and libraries come from the Windows sysroot only; programs that run
# during the build are the build machine's.
set(CMAKE_FIND_ROOT_PATH /usr/${KW_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# libgcc, libstdc++ and winpthread linked into each program, so that it runs
# under Wine, or on a Windows without a compiler, with no DLL beside it.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
