# Cross build for 64-bit ARM Linux with the host's clang. Clang takes the C
# library, libstdc++ and the start files of Debian's GCC cross toolchain
# (g++-aarch64-linux-gnu, under /usr/lib/gcc-cross/aarch64-linux-gnu) from
# the target triple; the libraries are the arm64 multiarch packages, found
# under /usr/lib/aarch64-linux-gnu; programs run through qemu-user.
#
#   cmake -S . -B build-aarch64-clang -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/aarch64-linux-gnu-clang.cmake
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(CMAKE_C_COMPILER clang)
set(CMAKE_CXX_COMPILER clang++)
set(CMAKE_C_COMPILER_TARGET aarch64-linux-gnu)
set(CMAKE_CXX_COMPILER_TARGET aarch64-linux-gnu)
set(CMAKE_LIBRARY_ARCHITECTURE aarch64-linux-gnu)
set(CMAKE_CROSSCOMPILING_EMULATOR qemu-aarch64)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
