#!/bin/sh
# Runs the posix thread model's variant of the win32 model's mingw compiler it is given, with
# the same arguments: the compiler launcher and linker launcher of the Windows targets that use
# std::thread or std::mutex, which only that model has.
#   posix-threads.sh /usr/bin/x86_64-w64-mingw32-g++-win32 ARGUMENTS...
compiler=$1
shift
case $compiler in
*-win32) exec "${compiler%-win32}-posix" "$@" ;;
*) echo "posix-threads.sh: $compiler is not a win32 model compiler" >&2; exit 1 ;;
esac
