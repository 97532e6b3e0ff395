# Cross-compiles for 64-bit ARM Linux (Debian arm64); the tests run under qemu-aarch64.
set(TESS_CROSS_TRIPLET aarch64-linux-gnu)
set(TESS_CROSS_PROCESSOR aarch64)
set(TESS_CROSS_QEMU qemu-aarch64)
set(TESS_DEB_ARCHITECTURE arm64)
set(TESS_CROSS_LOADER /lib/ld-linux-aarch64.so.1)
include(${CMAKE_CURRENT_LIST_DIR}/linux-cross.cmake)
