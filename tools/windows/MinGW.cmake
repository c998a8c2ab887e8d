# CMake toolchain for 64-bit Windows, built here with MinGW-w64 and run here under Wine.
#
#   cmake -S . -B build-win -DCMAKE_TOOLCHAIN_FILE=tools/windows/MinGW.cmake
#
# The compilers are named with their -posix suffix: only the posix-thread variant has
# std::thread and std::mutex. Headers, libraries, CMake packages and pkg-config files are taken
# from the prefix that tools/windows/build-libraries.sh fills (and from MinGW-w64's own system
# libraries), never from the Linux system; programs that run during the build come from the host.

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

get_filename_component(_windows_default_prefix
    "${CMAKE_CURRENT_LIST_DIR}/../../build-windows/prefix" ABSOLUTE)
set(WINDOWS_PREFIX "${_windows_default_prefix}" CACHE PATH
    "Folder holding the cross-built Windows libraries (include/, lib/, bin/)")
get_filename_component(WINDOWS_PREFIX "${WINDOWS_PREFIX}" ABSOLUTE)
# try_compile projects read this file again with a cache of their own: hand them the prefix.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES WINDOWS_PREFIX)

set(CMAKE_FIND_ROOT_PATH "${WINDOWS_PREFIX}" /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# pkg-config reads the prefix's .pc files only, so no Linux library can slip into the link.
set(ENV{PKG_CONFIG_LIBDIR} "${WINDOWS_PREFIX}/lib/pkgconfig")
set(ENV{PKG_CONFIG_PATH} "")

# ctest and add_custom_command run the built executables through Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
