# Shared settings of the two mingw-w64 cross toolchains.
set(CMAKE_SYSTEM_NAME Windows)
# The win32 thread model's compilers: the program starts no threads of its own, and their static
# runtime goes without the POSIX threads library that the posix model's links in (28 KB of the
# x86 exe). What needs std::thread or std::mutex (GoogleTest, the contract tests) is compiled
# and linked by the -posix compiler instead (cmake/posix-threads.sh).
set(CMAKE_C_COMPILER ${CADENZO_MINGW_TRIPLE}-gcc-win32)
set(CMAKE_CXX_COMPILER ${CADENZO_MINGW_TRIPLE}-g++-win32)
set(CMAKE_RC_COMPILER ${CADENZO_MINGW_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${CADENZO_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Static runtime: the program must import nothing but system DLLs. No link time in the PE
# header: two builds of the same sources give the same exe (the release is compared so).
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++ -Wl,--no-insert-timestamp")
