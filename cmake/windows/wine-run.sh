#!/bin/sh
# Runs a Windows program under Wine, in the given Wine prefix, on a virtual display unless there is one:
#   wine-run.sh PREFIX PROGRAM [ARGUMENTS...]
# The build's emulator for its Windows programs: the tests, and the helpers JUCE runs at build time.
set -eu
WINEPREFIX="$1"
shift
export WINEPREFIX
export WINEDEBUG="${WINEDEBUG:--all}"

if [ -n "${DISPLAY:-}" ]; then
    exec wine "$@"
fi

# Wine's desktop process holds on to the display it started with: let it end with this display's server, so
# that the next program does not meet it connected to a display that is gone.
exec xvfb-run -a sh -c 'status=0; wine "$@" || status=$?; wineserver -w; exit "${status}"' wine-run "$@"
