# Shared settings of the two mingw-w64 cross toolchains.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${CADENZO_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${CADENZO_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${CADENZO_MINGW_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${CADENZO_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Static runtime: the program must import nothing but system DLLs. No link time in the PE
# header: two builds of the same sources give the same exe (the release is compared so).
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++ -Wl,--no-insert-timestamp")
