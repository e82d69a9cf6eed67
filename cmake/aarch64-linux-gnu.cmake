# Cross build for AArch64 Linux with Debian's g++-aarch64-linux-gnu; programs and tests
# run under qemu-aarch64 with the cross sysroot.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(CMAKE_C_COMPILER aarch64-linux-gnu-gcc)
set(CMAKE_CXX_COMPILER aarch64-linux-gnu-g++)
set(OSTREL_AARCH64_SYSROOT /usr/aarch64-linux-gnu CACHE PATH "Sysroot of the AArch64 cross toolchain")
set(CMAKE_FIND_ROOT_PATH ${OSTREL_AARCH64_SYSROOT})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# A processor without SVE, like the machines the emulator is for (qemu's default CPU has SVE).
set(CMAKE_CROSSCOMPILING_EMULATOR qemu-aarch64;-cpu;neoverse-n1;-L;${OSTREL_AARCH64_SYSROOT})
