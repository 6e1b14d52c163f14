#!/usr/bin/env bash
# Installs the Debian 12 packages that building, testing and benchmarking VELDRANOX need.
set -euo pipefail

packages=(
    cmake make g++ pkg-config ccache
    juce-modules-source          # JUCE 7 modules, its CMake package and the VST3 SDK
    libgtest-dev libbenchmark-dev
    xvfb xauth                   # a virtual display for the tests that open the editor window
    clang libclang-rt-14-dev     # libFuzzer and the sanitizer runtimes
)

as_root=()
if [ "$(id -u)" -ne 0 ]; then
    as_root=(sudo)
fi

export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" apt-get update -qq
"${as_root[@]}" apt-get install -y -qq --no-install-recommends "${packages[@]}"
