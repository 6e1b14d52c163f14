# Run after JUCE's LV2 helper has written the bundle's manifest (cmake -DMANIFEST=... -P this file).
#
# JUCE declares one LV2 preset per program. VELDRANOX has a single program without a name, so hosts would
# list a preset with an empty label, which does nothing: a blank row in their preset menus. The factory
# bank lives in a preset bundle of its own, so that declaration is dropped here. Fails the build if a
# preset with an empty label is still there afterwards, so that a change in what JUCE writes is noticed.
file(READ "${MANIFEST}" text)

set(blank_preset
    "<[^>\n]+>\n\ta pset:Preset ;\n\tlv2:appliesTo <[^>\n]+> ;\n\trdfs:label \"\" ;\n\tstate:state \\[[^]\n]*\\] \\.\n\n?")
string(REGEX REPLACE "${blank_preset}" "" stripped "${text}")

if(stripped MATCHES "rdfs:label \"\"")
    message(FATAL_ERROR "${MANIFEST} still declares a preset with an empty label")
endif()

if(NOT stripped STREQUAL text)
    file(WRITE "${MANIFEST}" "${stripped}")
endif()
