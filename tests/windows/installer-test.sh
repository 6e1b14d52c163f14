#!/usr/bin/env bash
# The Windows installer in a fresh Wine prefix: a silent install puts the plug-in in the common VST3 folder, the
# programs in Program Files and the factory presets in the VST3 preset folder for all users, with an uninstaller
# in the system's list; the hosted suite loads the installed copy; the silent uninstall removes all of that and
# leaves alone what was there before (another vendor's plug-in in the same VST3 folder, another program of the
# same vendor, a preset the user saved beside the factory ones).
#   installer-test.sh INSTALLER VERSION HOST_TESTS_EXE PRESETS_DIR   (run under xvfb-run)
set -uo pipefail

installer="$1" version="$2" host_tests="$3" presets="$4"
work="$(mktemp -d)"
trap 'wineserver -k 2>/dev/null; rm -rf "${work}"' EXIT
export WINEPREFIX="${work}/prefix" WINEDEBUG=-all
failures=0

fail() {
    echo "FAILED: $*" >&2
    failures=$((failures + 1))
}

wine_wait() { # runs a Windows program and waits until every process it started has ended
    wine "$@"
    local status=$?
    wineserver -w
    return "${status}"
}

wineboot -i >/dev/null 2>&1 && wineserver -w || { echo "FAILED: wineboot" >&2; exit 1; }

drive_c="${WINEPREFIX}/drive_c"
common_vst3="${drive_c}/Program Files/Common Files/VST3"
vendor_dir="${drive_c}/Program Files/Yrven"
app_dir="${vendor_dir}/VELDRANOX"
start_menu="${drive_c}/ProgramData/Microsoft/Windows/Start Menu/Programs"
preset_dir="${drive_c}/ProgramData/VST3 Presets/Yrven/VELDRANOX"
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\VELDRANOX'

# What belongs to others, in the places the installer writes to.
mkdir -p "${common_vst3}/Other.vst3/Contents/x86_64-win" "${vendor_dir}/Other"
echo other >"${common_vst3}/Other.vst3/Contents/x86_64-win/Other.vst3"
echo other >"${vendor_dir}/Other/other.exe"
mkdir -p "${preset_dir}"
echo mine >"${preset_dir}/My Own.vstpreset"

files_in_scope() {
    (cd "${drive_c}" && find "Program Files" "ProgramData/Microsoft/Windows/Start Menu" "ProgramData/VST3 Presets" | sort)
}
before="$(files_in_scope)"

wine_wait "${installer}" /S || fail "the silent install exited with $?"

for installed in \
    "${common_vst3}/VELDRANOX.vst3/Contents/x86_64-win/VELDRANOX.vst3" \
    "${app_dir}/VELDRANOX.exe" \
    "${app_dir}/veldranox-render.exe" \
    "${app_dir}/README.txt" \
    "${app_dir}/Uninstall.exe" \
    "${start_menu}/VELDRANOX.lnk"; do
    [ -f "${installed}" ] || fail "not installed: ${installed#"${drive_c}/"}"
done

# Every factory preset, byte for byte as the build wrote it.
preset_count=0
for preset in "${presets}"/*.vstpreset; do
    preset_count=$((preset_count + 1))
    cmp -s "${preset}" "${preset_dir}/$(basename "${preset}")" ||
        fail "preset not installed as built: $(basename "${preset}")"
done
[ "${preset_count}" -gt 0 ] || fail "the build wrote no presets into ${presets}"

entry="$(wine reg query "${key}" /reg:64 2>/dev/null | tr -d '\r')"
grep -Eq "DisplayName +REG_SZ +VELDRANOX$" <<<"${entry}" || fail "no uninstaller in the system's list: ${entry}"
grep -Eq "DisplayVersion +REG_SZ +${version}$" <<<"${entry}" || fail "the list shows another version: ${entry}"
grep -Eq 'UninstallString +REG_SZ +"C:\\Program Files\\Yrven\\VELDRANOX\\Uninstall.exe"$' <<<"${entry}" ||
    fail "the uninstaller is not the installed one: ${entry}"

# The hosted suite, on the installed copy, by the path a Windows host finds it at.
VELDRANOX_HOSTED_VST3='C:\Program Files\Common Files\VST3\VELDRANOX.vst3' \
    wine_wait "${host_tests}" --gtest_brief=1 || fail "the hosted suite failed on the installed plug-in"

wine_wait "C:\\Program Files\\Yrven\\VELDRANOX\\Uninstall.exe" /S || fail "the silent uninstall exited with $?"

after="$(files_in_scope)"
[ "${after}" = "${before}" ] || fail "after the uninstall the files differ from before the install: $(diff <(echo "${before}") <(echo "${after}"))"
wine reg query "${key}" /reg:64 >/dev/null 2>&1 && fail "the uninstaller left its entry in the system's list"

if [ "${failures}" -ne 0 ]; then
    exit 1
fi
echo "installer: silent install with ${preset_count} presets, hosted suite on the installed plug-in, clean silent uninstall"
