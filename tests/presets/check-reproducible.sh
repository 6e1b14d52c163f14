#!/usr/bin/env bash
# The factory presets are build output that users install and hosts compare: a second run of the writer on
# the same build must give the same bytes as the build's own run.
# Usage: [RUN_WITH=EMULATOR] check-reproducible.sh WRITER VST3_BUNDLE LV2_URI BUILT_VST3_PRESETS BUILT_LV2_PRESET_BUNDLE
set -euo pipefail

writer="$1" bundle="$2" uri="$3" built_vst3="$4" built_lv2="$5"
scratch="$(mktemp -d)"
trap 'rm -rf "${scratch}"' EXIT

# shellcheck disable=SC2086
${RUN_WITH:-} "${writer}" "${bundle}" "${uri}" "${scratch}/vst3" "${scratch}/lv2" >/dev/null

count="$(find "${built_vst3}" -name '*.vstpreset' | wc -l)"
[ "${count}" -gt 0 ] || { echo "FAILED: the build wrote no .vstpreset files to ${built_vst3}" >&2; exit 1; }

diff -r "${built_vst3}" "${scratch}/vst3" || { echo "FAILED: the VST3 preset files differ between two runs" >&2; exit 1; }
diff -r "${built_lv2}" "${scratch}/lv2" || { echo "FAILED: the LV2 preset bundle differs between two runs" >&2; exit 1; }
echo "${count} VST3 preset files and the LV2 preset bundle are identical from two runs of the writer"
