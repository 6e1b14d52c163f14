# What a Windows user downloads, made by every Windows build beside the products:
#   VELDRANOX-<version>-windows-x64.zip        the bundle, the two programs and the factory presets, with a note
#                                              on where they go
#   VELDRANOX-<version>-windows-x64-setup.exe  an installer made with Debian's NSIS
set(VELDRANOX_PACKAGE_NAME "VELDRANOX-${PROJECT_VERSION}-windows-x64")
set(VELDRANOX_PACKAGE_STAGE "${CMAKE_BINARY_DIR}/package/${VELDRANOX_PACKAGE_NAME}")
set(VELDRANOX_PACKAGE_ZIP "${CMAKE_BINARY_DIR}/${VELDRANOX_PACKAGE_NAME}.zip")
set(VELDRANOX_INSTALLER "${CMAKE_BINARY_DIR}/${VELDRANOX_PACKAGE_NAME}-setup.exe")
set(VELDRANOX_PRESET_LIST "${CMAKE_BINARY_DIR}/package/presets.nsh")

find_program(VELDRANOX_MAKENSIS makensis)
if(NOT VELDRANOX_MAKENSIS)
    message(FATAL_ERROR "VELDRANOX: makensis not found (scripts/install-deps.sh --windows installs nsis)")
endif()

set(VERSION "${PROJECT_VERSION}")
configure_file("${CMAKE_CURRENT_LIST_DIR}/README.txt.in" "${CMAKE_BINARY_DIR}/package/README.txt" NEWLINE_STYLE CRLF)

set(VELDRANOX_PACKAGED_FILES
    "$<TARGET_FILE:VELDRANOX_VST3>"
    "$<TARGET_FILE:VELDRANOX_Standalone>"
    "$<TARGET_FILE:veldranox-render>"
    "${CMAKE_BINARY_DIR}/package/README.txt"
    "${CMAKE_CURRENT_LIST_DIR}/installer.nsi"
    "${CMAKE_CURRENT_LIST_DIR}/PresetList.cmake")

add_custom_command(
    OUTPUT "${VELDRANOX_PACKAGE_ZIP}" "${VELDRANOX_INSTALLER}"
    COMMAND "${CMAKE_COMMAND}" -E rm -rf "${VELDRANOX_PACKAGE_STAGE}"
    COMMAND "${CMAKE_COMMAND}" -E make_directory "${VELDRANOX_PACKAGE_STAGE}"
    COMMAND "${CMAKE_COMMAND}" -E copy_directory "${VELDRANOX_BUNDLE}" "${VELDRANOX_PACKAGE_STAGE}/VELDRANOX.vst3"
    COMMAND "${CMAKE_COMMAND}" -E copy "$<TARGET_FILE:VELDRANOX_Standalone>" "$<TARGET_FILE:veldranox-render>"
            "${CMAKE_BINARY_DIR}/package/README.txt" "${VELDRANOX_PACKAGE_STAGE}"
    COMMAND "${CMAKE_COMMAND}" -E copy_directory "${VELDRANOX_VST3_PRESETS}" "${VELDRANOX_PACKAGE_STAGE}/Presets"
    COMMAND "${CMAKE_COMMAND}" "-DPRESETS=${VELDRANOX_VST3_PRESETS}" "-DOUT=${VELDRANOX_PRESET_LIST}"
            -P "${CMAKE_CURRENT_LIST_DIR}/PresetList.cmake"
    COMMAND "${CMAKE_COMMAND}" -E rm -f "${VELDRANOX_PACKAGE_ZIP}"
    COMMAND "${CMAKE_COMMAND}" -E chdir "${CMAKE_BINARY_DIR}/package"
            "${CMAKE_COMMAND}" -E tar cf "${VELDRANOX_PACKAGE_ZIP}" --format=zip "${VELDRANOX_PACKAGE_NAME}"
    COMMAND "${VELDRANOX_MAKENSIS}" -V2 -NOCD "-DVERSION=${PROJECT_VERSION}" "-DVENDOR=Yrven"
            "-DSTAGE=${VELDRANOX_PACKAGE_STAGE}" "-DOUTFILE=${VELDRANOX_INSTALLER}"
            "-DPRESET_LIST=${VELDRANOX_PRESET_LIST}"
            "${CMAKE_CURRENT_LIST_DIR}/installer.nsi"
    DEPENDS ${VELDRANOX_PACKAGED_FILES} VELDRANOX_Presets
    COMMENT "Packing ${VELDRANOX_PACKAGE_NAME}.zip and its installer"
    VERBATIM)
add_custom_target(windows_package ALL DEPENDS "${VELDRANOX_PACKAGE_ZIP}" "${VELDRANOX_INSTALLER}")
