#!/usr/bin/env bash
# Installs the Debian packages that building, testing and benchmarking VELDRANOX need, on Debian 13 (trixie) or
# Debian 12 (bookworm). Every name below exists under the same name on both releases.
set -euo pipefail

release="unknown"
if [ -r /etc/os-release ]; then
    # shellcheck disable=SC1091
    release="$(. /etc/os-release && echo "${VERSION_CODENAME:-${ID:-unknown}}")"
fi

case "${release}" in
    trixie | bookworm) ;;
    *)
        echo "install-deps: Debian 13 (trixie) or Debian 12 (bookworm) needed; this system is '${release}'" >&2
        exit 1
        ;;
esac

packages=(
    cmake make g++ pkg-config ccache
    juce-modules-source          # JUCE (8.0.6 on trixie, 7.0.5 on bookworm), its CMake package and the VST3 SDK
    libgtest-dev libbenchmark-dev
    xvfb xauth                   # a virtual display for the tests that open the editor window
    clang libclang-rt-dev        # libFuzzer and the sanitizer runtimes, for the release's default clang
    libflac-dev libvorbis-dev libogg-dev   # the renderer's FLAC and Ogg Vorbis, through the system libraries
    flac vorbis-tools lame sox   # independent encoders and decoders the renderer's tests check against
    lilv-utils                   # an independent LV2 host (lv2ls, lv2info) for the LV2 bundle's checks
    serdi                        # an independent Turtle reader, for the parameters in the LV2 bundle's data
    libjack-jackd2-dev           # JACK headers for the standalone application (the library is loaded at run time)
    x11-utils                    # xwininfo, which the standalone application's smoke test reads its window with
    python3                      # the benchmark's summary tables
)

# --windows: also what the Windows x64 build needs (cmake --preset windows): the MinGW-w64 cross compilers and
# zlib, Wine to run the tests, NSIS for the installer, and dpkg-dev, with which apt unpacks the Debian source
# packages that the build compiles its other Windows libraries from.
# Debian 13's JUCE 8 refuses MinGW: there scripts/build-windows.sh builds in a Debian 12 chroot, which needs
# debootstrap and git here and installs the rest inside.
if [ "${1:-}" = "--windows" ] && [ "${release}" = trixie ]; then
    packages+=(debootstrap git)
elif [ "${1:-}" = "--windows" ]; then
    packages+=(g++-mingw-w64-x86-64-posix libz-mingw-w64-dev wine nsis dpkg-dev)
elif [ "$#" -gt 0 ]; then
    echo "usage: $0 [--windows]" >&2
    exit 2
fi

as_root=()
if [ "$(id -u)" -ne 0 ]; then
    as_root=(sudo)
fi

export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" apt-get update -qq
"${as_root[@]}" apt-get install -y -qq --no-install-recommends "${packages[@]}"
