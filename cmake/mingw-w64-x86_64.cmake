# Cross build for 64-bit Windows from Debian with MinGW-w64 (posix thread model,
# which std::thread and std::mutex, and so googletest, need).

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(ZIMBLET_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${ZIMBLET_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ZIMBLET_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${ZIMBLET_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${ZIMBLET_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Every executable links libstdc++, libgcc and winpthread statically, so it needs
# only Windows system DLLs, on Windows and under Wine alike.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# Test programs (and try_run) run under Wine, in a prefix of this build tree.
set(CMAKE_CROSSCOMPILING_EMULATOR "${CMAKE_CURRENT_LIST_DIR}/wine-run.sh;${CMAKE_BINARY_DIR}/wine-prefix")
