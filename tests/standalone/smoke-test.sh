#!/usr/bin/env bash
# Starts the standalone application on a virtual display with no audio device and fresh settings, checks its
# window, asks it to quit as a user does, and expects a clean exit that saved the settings.
#   smoke-test.sh APP                 the Linux application, with a fresh home; quit as a terminal's Ctrl+C does
#   smoke-test.sh --wine PREFIX APP   the Windows application under Wine in PREFIX; quit as the close button does
# Run under xvfb-run.
set -uo pipefail

wine_prefix=""
if [ "${1:-}" = "--wine" ]; then
    wine_prefix="$2"
    shift 2
fi
app="$1"
scratch="$(mktemp -d)"
pid=""
# A failed check leaves the application running: end it, and under Wine everything it started in the prefix.
cleanup() {
    if [ -n "${pid}" ] && kill -0 "${pid}" 2>/dev/null; then
        kill "${pid}" 2>/dev/null
        [ -n "${wine_prefix}" ] && wineserver -k
    fi
    rm -rf "${scratch}"
}
trap cleanup EXIT

fail() {
    echo "FAILED: $*" >&2
    exit 1
}

# JUCE's standalone window: the 480 x 404 editor under the 30-pixel notice that the input is muted (it starts
# muted, as JUCE's standalone effects do), JUCE's own 26-pixel title bar, and a 1-pixel border all round.
editor_width=480 editor_height=404 notice=30 title_bar=26 border=1
expected_size="$((editor_width + 2 * border))x$((editor_height + notice + title_bar + 2 * border))"

if [ -n "${wine_prefix}" ]; then
    export WINEPREFIX="${wine_prefix}" WINEDEBUG="${WINEDEBUG:--all}"
    settings="$(find "${WINEPREFIX}/drive_c/users" -maxdepth 1 -mindepth 1 -type d ! -name Public | head -n 1)"
    settings="${settings}/AppData/Roaming/VELDRANOX/VELDRANOX.settings"
    rm -f "${settings}"
    wine "${app}" >"${scratch}/output.log" 2>&1 &
    quit() { wine taskkill /IM "$(basename "${app}")" >/dev/null; }
else
    settings="${scratch}/.config/VELDRANOX.settings"
    HOME="${scratch}" "${app}" >"${scratch}/output.log" 2>&1 &
    quit() { kill -INT "${pid}"; }
fi
pid=$!

# The window first appears at a placeholder size, so wait for the size too. Deadlines are in seconds, not
# tries: a first start in a fresh Wine prefix on a busy machine can take most of a minute.
window="" size=""
deadline=$((SECONDS + 90))
while [ "${SECONDS}" -lt "${deadline}" ]; do
    kill -0 "${pid}" 2>/dev/null || fail "the application ended before showing its window: $(cat "${scratch}/output.log")"
    window="$(xwininfo -root -tree | grep -E '^ *0x[0-9a-f]+ "VELDRANOX": \(' | head -n 1 || true)"
    size="$(awk '{ for (i = 1; i <= NF; ++i) if ($i ~ /^[0-9]+x[0-9]+\+/) { split($i, s, "+"); print s[1]; exit } }' <<<"${window}")"
    [ "${size}" = "${expected_size}" ] && break
    sleep 0.2
done
[ -n "${window}" ] || fail "no VELDRANOX window appeared"
[ "${size}" = "${expected_size}" ] || fail "the window is ${size}, not ${expected_size} (the editor and its frame): ${window}"

quit
deadline=$((SECONDS + 30))
while kill -0 "${pid}" 2>/dev/null && [ "${SECONDS}" -lt "${deadline}" ]; do
    sleep 0.2
done
kill -0 "${pid}" 2>/dev/null && fail "the application was still running 30 s after it was asked to quit"
wait "${pid}"
status=$?
[ "${status}" -eq 0 ] || fail "the application exited with ${status} when asked to quit"
if [ -n "${wine_prefix}" ]; then
    # Wine's desktop holds on to this display: let it go before the display does.
    timeout 30 wineserver -w || fail "Wine's processes were still running 30 s after the application quit"
fi

grep -q 'name="shouldMuteInput" val="1"' "${settings}" || fail "the input was not muted: $(cat "${settings}")"

echo "standalone: ${expected_size} window with the editor and the muted-input notice, clean exit with no audio device"
