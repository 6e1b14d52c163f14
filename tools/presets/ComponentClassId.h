#pragma once

#include <string>

// The class ID of the audio processor component that a built VST3 bundle's factory hands out, as 32
// upper-case hex digits, byte by byte: the spelling the preset file header carries. Read from the module
// itself because JUCE derives the ID from settings (the manufacturer and plug-in codes, whether the VST3
// replaces a VST2) that a guess would have to repeat. Empty, with the reason in `error`, when the
// module cannot be opened or does not hold exactly one such class.
std::string audioModuleClassId (const std::string& bundlePath, std::string& error);
