# Cross build with Debian's cross compilers and multiarch libraries:
#   cmake -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/debian-cross.cmake -DRV_TARGET_ARCH=arm64 ...
# RV_TARGET_ARCH is a Debian architecture (arm64 or armhf). Tests and the build-time tools of
# the target run under user-mode emulation, called explicitly (no binfmt support needed).
set(RV_TARGET_ARCH "$ENV{RV_TARGET_ARCH}" CACHE STRING "Debian architecture to build for")
if(RV_TARGET_ARCH STREQUAL "arm64")
  set(_triplet aarch64-linux-gnu)
  set(CMAKE_SYSTEM_PROCESSOR aarch64)
  set(_emulator qemu-aarch64)
elseif(RV_TARGET_ARCH STREQUAL "armhf")
  set(_triplet arm-linux-gnueabihf)
  set(CMAKE_SYSTEM_PROCESSOR arm)
  set(_emulator qemu-arm)
else()
  message(FATAL_ERROR "RV_TARGET_ARCH must be arm64 or armhf, not '${RV_TARGET_ARCH}'")
endif()
# Passed on to try_compile projects, which read this file again.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES RV_TARGET_ARCH)

set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_C_COMPILER ${_triplet}-gcc)
set(CMAKE_CXX_COMPILER ${_triplet}-g++)
set(CMAKE_LIBRARY_ARCHITECTURE ${_triplet})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)

# Debian 12 has no <triplet>-pkg-config wrapper unless one is installed: point the native one
# at the target's .pc files.
set(ENV{PKG_CONFIG_LIBDIR} "/usr/lib/${_triplet}/pkgconfig:/usr/share/pkgconfig")
# Qt's build-time tools (moc) come from the native qt6-base-dev.
set(QT_HOST_PATH /usr)
# No -L: the multiarch libc6:ARCH provides the loader at its standard path, and it must
# match the libc the loader finds (the cross toolchain's own copy may be an older build).
set(CMAKE_CROSSCOMPILING_EMULATOR ${_emulator})
