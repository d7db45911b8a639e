#!/usr/bin/env bash
# Installs what is missing (Debian 12 packages only) and builds both
# distributions: dist/win64 (runs here under Wine) and dist/win32.
set -eu
here=$(cd "$(dirname "$0")/.." && pwd)
cd "$here"

packages="cmake ninja-build g++-mingw-w64-x86-64 g++-mingw-w64-i686 wine wine64 xvfb xauth xdotool
          x11-apps x11-utils imagemagick ffmpeg pulseaudio pulseaudio-utils sox doctest-dev file python3 python3-tk
          clang libclang-rt-14-dev libz-mingw-w64-dev zlib1g-dev
          xserver-xorg-core xserver-xorg-video-dummy x11-xserver-utils"
missing=""
for p in $packages; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
if [ -n "$missing" ]; then
    echo "setup: installing:$missing"
    if [ "$(id -u)" -ne 0 ]; then
        if command -v sudo >/dev/null 2>&1; then SUDO=sudo; else
            echo "setup: these Debian packages are missing and I am not root: $missing" >&2
            echo "setup: install them with apt-get as root, then run this again." >&2
            exit 1
        fi
    else
        SUDO=""
    fi
    $SUDO apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends $missing >/dev/null
fi

build() {   # arch toolchain
    cmake -S . -B "build/$1" -G Ninja -DCMAKE_TOOLCHAIN_FILE="cmake/$2.cmake" -DVELMORAX_ARCH="$1" \
        -DCMAKE_BUILD_TYPE=Release >/dev/null
    cmake --build "build/$1"
}
build win64 mingw-w64-x86_64
build win32 mingw-w64-i686
echo "setup: built dist/win64 and dist/win32"
