#!/usr/bin/env bash
# Builds the Windows x64 products, their zip and installer, and runs their tests under Wine: the windows preset's
# configure, build and test, leaving everything in build/windows/.
#
# On Debian 12 that happens here. Debian 13 ships only JUCE 8, which refuses MinGW, so there the same three steps
# run inside a Debian 12 chroot (scripts/debian-chroot.sh, which needs root), on a clone of this checkout's
# HEAD, and what a user installs is copied back into build/windows/.
set -euo pipefail
cd "$(dirname "$0")/.."

windows_build='cmake --preset windows && cmake --build --preset windows && ctest --preset windows'
release="$(. /etc/os-release && echo "${VERSION_CODENAME:-}")"

if [ "${release}" != trixie ]; then
    exec bash -c "${windows_build}"
fi

if [ "$(id -u)" -ne 0 ]; then
    echo "build-windows: on Debian 13 the Windows build runs in a Debian 12 chroot, which needs root (sudo)" >&2
    exit 1
fi
echo "build-windows: Debian 13's JUCE 8 does not build with MinGW; building in a Debian 12 chroot"
clone_build=/root/veldranox/build/windows
scripts/debian-chroot.sh bookworm "scripts/install-deps.sh --windows && ${windows_build} &&
    rm -rf /root/out && mkdir -p /root/out && cp -r ${clone_build}/*.zip ${clone_build}/*-setup.exe ${clone_build}/VELDRANOX_artefacts /root/out/"
chroot_out="${VELDRANOX_CHROOT_CACHE:-/var/cache/veldranox-ci}/bookworm/root/out"
mkdir -p build/windows
rm -rf build/windows/VELDRANOX_artefacts
cp -r "${chroot_out}"/. build/windows/
rm -rf "${chroot_out}"
ls -1 build/windows/*.zip build/windows/*-setup.exe
