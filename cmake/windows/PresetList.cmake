# Writes the installer's list of factory preset files, known only once the build has written them:
#   cmake -DPRESETS=DIR -DOUT=FILE.nsh -P PresetList.cmake
# Installing and uninstalling go file by file, so that the uninstaller removes exactly what was installed and
# leaves any preset a user saved into the same folder.
file(GLOB presets RELATIVE "${PRESETS}" "${PRESETS}/*.vstpreset")
if(NOT presets)
    message(FATAL_ERROR "no .vstpreset files in ${PRESETS}")
endif()
list(SORT presets)

set(install "!macro InstallPresets\n")
set(uninstall "!macro UninstallPresets\n")
foreach(preset IN LISTS presets)
    string(APPEND install "    File \"\${STAGE}/Presets/${preset}\"\n")
    string(APPEND uninstall "    Delete \"\${PRESET_DIR}\\${preset}\"\n")
endforeach()
string(APPEND install "!macroend\n")
string(APPEND uninstall "!macroend\n")
file(WRITE "${OUT}" "; Written by PresetList.cmake\n${install}${uninstall}")
