# The zip holds exactly the bundle, the two programs, the note and every factory preset the build wrote, in one
# folder named after the release.
#   cmake -DZIP=... -DNAME=VELDRANOX-<version>-windows-x64 -DPRESETS=DIR -P CheckZip.cmake
execute_process(COMMAND "${CMAKE_COMMAND}" -E tar tf "${ZIP}" OUTPUT_VARIABLE listing RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "cannot read ${ZIP}")
endif()
string(REGEX REPLACE "\n$" "" listing "${listing}")
string(REPLACE "\n" ";" entries "${listing}")
list(FILTER entries EXCLUDE REGEX "/$")
list(SORT entries)
set(expected
    "${NAME}/README.txt"
    "${NAME}/VELDRANOX.exe"
    "${NAME}/VELDRANOX.vst3/Contents/x86_64-win/VELDRANOX.vst3"
    "${NAME}/veldranox-render.exe")
file(GLOB presets RELATIVE "${PRESETS}" "${PRESETS}/*.vstpreset")
if(NOT presets)
    message(FATAL_ERROR "the build wrote no presets into ${PRESETS}")
endif()
foreach(preset IN LISTS presets)
    list(APPEND expected "${NAME}/Presets/${preset}")
endforeach()
# JUCE 8 also writes the factory's description into the bundle.
if(EXPECT_MODULE_INFO)
    list(APPEND expected "${NAME}/VELDRANOX.vst3/Contents/Resources/moduleinfo.json")
endif()
list(SORT expected)
if(NOT entries STREQUAL expected)
    message(FATAL_ERROR "the zip holds\n  ${entries}\nnot\n  ${expected}")
endif()
message(STATUS "zip: ${expected}")
