# Cross-compiles for ARM Linux with Debian's cross compiler for TESS_CROSS_TRIPLET (set by the
# toolchain file that includes this one, with TESS_CROSS_PROCESSOR, TESS_CROSS_QEMU, the Debian
# architecture TESS_DEB_ARCHITECTURE and the target's program loader TESS_CROSS_LOADER). The
# compiler's own libraries, in /usr/TRIPLET/lib, are the root for finding libraries. qemu-user
# runs the tree's programs (CMAKE_CROSSCOMPILING_EMULATOR: the tests and their discovery) with
# the target's C and C++ libraries installed through multiarch (scripts/install-deps), the ones
# the package depends on. It is not given the compiler's folder as its root (-L): the loader
# would come from there and libc from the multiarch folder, which the loader searches first,
# and that mix hangs at the first thread.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR ${TESS_CROSS_PROCESSOR})
set(CMAKE_LIBRARY_ARCHITECTURE ${TESS_CROSS_TRIPLET})
find_program(CMAKE_C_COMPILER NAMES ${TESS_CROSS_TRIPLET}-gcc REQUIRED)
find_program(CMAKE_CXX_COMPILER NAMES ${TESS_CROSS_TRIPLET}-g++ REQUIRED)
# Optimised as the native trees are (-O2), without their debug information, which the package
# strips anyway and which would only lengthen the build. (At -O3 GCC 12 reports bogus -Wrestrict
# overlaps inside std::u16string concatenation, GCC bug 105329.)
set(CMAKE_CXX_FLAGS_RELEASE "-O2 -DNDEBUG" CACHE STRING "Flags of the Release build")
set(CMAKE_FIND_ROOT_PATH /usr/${TESS_CROSS_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# Without the emulator or the target's libraries no test runs: that is an error, not a tree
# without tests.
find_program(TESS_QEMU NAMES ${TESS_CROSS_QEMU})
if(NOT TESS_QEMU)
  message(FATAL_ERROR "${TESS_CROSS_QEMU} is missing: the ${TESS_DEB_ARCHITECTURE} tree runs its "
    "tests under it (Debian package qemu-user, scripts/install-deps)")
endif()
if(NOT EXISTS ${TESS_CROSS_LOADER})
  message(FATAL_ERROR "${TESS_CROSS_LOADER} is missing: the ${TESS_DEB_ARCHITECTURE} tree runs "
    "its tests with the libraries of libc6:${TESS_DEB_ARCHITECTURE} and "
    "libstdc++6:${TESS_DEB_ARCHITECTURE} (scripts/install-deps)")
endif()
set(CMAKE_CROSSCOMPILING_EMULATOR ${TESS_QEMU})
