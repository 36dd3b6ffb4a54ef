# Cross-compiles for 64-bit Windows with Debian's MinGW-w64 (posix threads).
#
#   cmake -S . -B build-win -G Ninja \
#       -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
#       -DJUCE_DIR=/usr/lib/x86_64-linux-gnu/cmake/JUCE-7.0.5 \
#       -DAURALIS_MINGW_DEPS=/opt/auralis-mingw-deps
#
# JUCE's own tool (juceaide) runs on the build machine as it is installed.
# AURALIS_MINGW_DEPS names the prefix holding the cross-built static libpng
# and libjpeg-turbo (scripts/windows/build-deps.sh); zlib comes from Debian's
# libz-mingw-w64-dev.

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(auralis_mingw_triplet x86_64-w64-mingw32)

set(CMAKE_C_COMPILER ${auralis_mingw_triplet}-gcc-posix)
set(CMAKE_CXX_COMPILER ${auralis_mingw_triplet}-g++-posix)
set(CMAKE_RC_COMPILER ${auralis_mingw_triplet}-windres)

set(AURALIS_MINGW_DEPS "/opt/auralis-mingw-deps" CACHE PATH
    "Prefix of the cross-built static libpng and libjpeg-turbo")

set(CMAKE_FIND_ROOT_PATH "/usr/${auralis_mingw_triplet}" "${AURALIS_MINGW_DEPS}")
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE BOTH)

# The program imports only DLLs that every Windows has.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
