# Cross-compiles for 32-bit ARM Linux with the hardware floating-point calling convention
# (Debian armhf); the tests run under qemu-arm.
set(TESS_CROSS_TRIPLET arm-linux-gnueabihf)
set(TESS_CROSS_PROCESSOR armv7l)
set(TESS_CROSS_QEMU qemu-arm)
set(TESS_DEB_ARCHITECTURE armhf)
set(TESS_CROSS_LOADER /lib/ld-linux-armhf.so.3)
include(${CMAKE_CURRENT_LIST_DIR}/linux-cross.cmake)
