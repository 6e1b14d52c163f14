#!/usr/bin/env bash
# Starts the standalone application on a virtual display with no audio device and a fresh home, checks its
# window, asks it to quit as a terminal's Ctrl+C does, and expects a clean exit. Usage: smoke-test.sh APP
# (run under xvfb-run).
set -uo pipefail

app="$1"
home="$(mktemp -d)"
trap 'rm -rf "${home}"' EXIT

fail() {
    echo "FAILED: $*" >&2
    exit 1
}

# JUCE's standalone window: the 480 x 404 editor under the 30-pixel notice that the input is muted (it starts
# muted, as JUCE's standalone effects do), JUCE's own 26-pixel title bar, and a 1-pixel border all round.
editor_width=480 editor_height=404 notice=30 title_bar=26 border=1
expected_size="$((editor_width + 2 * border))x$((editor_height + notice + title_bar + 2 * border))"

HOME="${home}" "${app}" >"${home}/output.log" 2>&1 &
pid=$!

window=""
for _ in $(seq 1 100); do
    kill -0 "${pid}" 2>/dev/null || fail "the application ended before showing its window: $(cat "${home}/output.log")"
    window="$(xwininfo -root -tree | grep -E '"VELDRANOX": \("VELDRANOX" "VELDRANOX"\)' || true)"
    [ -n "${window}" ] && break
    sleep 0.2
done
[ -n "${window}" ] || fail "no VELDRANOX window appeared"

size="$(awk '{ for (i = 1; i <= NF; ++i) if ($i ~ /^[0-9]+x[0-9]+\+/) { split($i, s, "+"); print s[1]; exit } }' <<<"${window}")"
[ "${size}" = "${expected_size}" ] || fail "the window is ${size}, not ${expected_size} (the editor and its frame): ${window}"

kill -INT "${pid}"
wait "${pid}"
status=$?
[ "${status}" -eq 0 ] || fail "the application exited with ${status} when asked to quit"

settings="${home}/.config/VELDRANOX.settings"
grep -q 'name="shouldMuteInput" val="1"' "${settings}" || fail "the input was not muted: $(cat "${settings}")"

echo "standalone: ${expected_size} window with the editor and the muted-input notice, clean exit with no audio device"
