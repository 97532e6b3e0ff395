# Cross-compiles for 32-bit ARM Linux with the hardware floating-point calling convention
# (Debian armhf); the tests run under qemu-arm.
set(TESS_CROSS_TRIPLET arm-linux-gnueabihf)
set(TESS_CROSS_PROCESSOR armv7l)
set(TESS_CROSS_QEMU qemu-arm)
set(TESS_DEB_ARCHITECTURE armhf)
set(TESS_CROSS_LOADER /lib/ld-linux-armhf.so.3)
# GCC notes on every std::vector iterator passed by value that its passing changed in GCC 7.1:
# all the code here is built by one compiler, so the note says nothing.
set(CMAKE_CXX_FLAGS_INIT -Wno-psabi)
include(${CMAKE_CURRENT_LIST_DIR}/linux-cross.cmake)
