#!/usr/bin/env bash
# Runs a command inside a Debian 13 (trixie) chroot, on a fresh clone of this checkout: CI's Debian 13.
#   .ci/trixie-chroot.sh 'scripts/install-deps.sh && ctest ...'
exec "$(dirname "$0")/../scripts/debian-chroot.sh" trixie "$@"
