// Writes the state fuzzer's seeds: real saved states from the processor, and the damaged forms a
// project file takes (cut short, wrong header, foreign XML, values that are no usable number).
// Usage: veldranox_state_seed_writer <directory>
#include "FuzzEnvironment.h"
#include "engine/MacroTable.h"
#include "processor/StateBlob.h"
#include "processor/VeldranoxAudioProcessor.h"

#include <iostream>

namespace
{
juce::MemoryBlock savedState (const std::array<float, numMacros>& normalised)
{
    VeldranoxAudioProcessor processor;

    for (size_t i = 0; i < numMacros; ++i)
        processor.parameters.getParameter (macroTable[i].id)->setValueNotifyingHost (normalised[i]);

    juce::MemoryBlock state;
    processor.getStateInformation (state);
    return state;
}

juce::MemoryBlock blob (const juce::String& text, int declaredCount = -1, juce::uint32 magic = StateBlob::magic)
{
    const auto utf8 = text.toStdString();
    juce::MemoryOutputStream out;
    out.writeInt (static_cast<int> (magic));
    out.writeInt (declaredCount == -1 ? static_cast<int> (utf8.size()) : declaredCount);
    out.write (utf8.data(), utf8.size());
    out.writeByte (0);
    return out.getMemoryBlock();
}

juce::String params (const juce::String& children, const juce::String& root = "PARAMS")
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?> <" + root + ">" + children + "</" + root + ">";
}

juce::String param (const juce::String& id, const juce::String& value)
{
    return "<PARAM id=\"" + id + "\" value=\"" + value + "\"/>";
}
} // namespace

int main (int argc, char** argv)
{
    if (argc != 2)
    {
        std::cerr << "usage: " << argv[0] << " <directory>\n";
        return 2;
    }

    startJuceForFuzzing();
    const juce::File directory (juce::File::getCurrentWorkingDirectory().getChildFile (argv[1]));
    directory.createDirectory();

    const auto defaults = savedState ({ 0.4f, 0.25f, 0.2f, 0.35f });
    const auto allValues = param ("SPACE", "40") + param ("GRIT", "25") + param ("DRIFT", "20") + param ("MELT", "35");

    const std::vector<std::pair<juce::String, juce::MemoryBlock>> seeds {
        { "saved-defaults", defaults },
        { "saved-minimum", savedState ({ 0.0f, 0.0f, 0.0f, 0.0f }) },
        { "saved-maximum", savedState ({ 1.0f, 1.0f, 1.0f, 1.0f }) },
        { "saved-mixed", savedState ({ 0.123f, 0.987f, 0.5f, 0.61f }) },
        { "cut-in-header", juce::MemoryBlock (defaults.getData(), 6) },
        { "cut-in-text", juce::MemoryBlock (defaults.getData(), defaults.getSize() / 2) },
        { "wrong-magic", blob (params (allValues), -1, 0x12345678) },
        { "count-zero", blob (params (allValues), 0) },
        { "count-negative", blob (params (allValues), -7) },
        { "count-too-large", blob (params (allValues), 100000) },
        { "not-xml", blob ("VELDRANOX state, or is it") },
        { "foreign-root", blob (params (allValues, "PLUGINSTATE")) },
        { "lower-case-root", blob (params (allValues, "params")) },
        { "melt-missing", blob (params (param ("SPACE", "90") + param ("GRIT", "10") + param ("DRIFT", "5"))) },
        { "grit-without-value", blob (params ("<PARAM id=\"GRIT\"/>")) },
        { "value-nan", blob (params (param ("SPACE", "nan") + param ("MELT", "NaN"))) },
        { "value-inf", blob (params (param ("SPACE", "inf") + param ("GRIT", "-inf"))) },
        { "value-too-large-for-float", blob (params (param ("DRIFT", "1e39"))) },
        { "value-text", blob (params (param ("MELT", "abc"))) },
        { "value-out-of-range",
          blob (params (param ("SPACE", "150") + param ("GRIT", "-5") + param ("DRIFT", "2.57"))) },
        { "duplicate-ids", blob (params (param ("SPACE", "10") + param ("SPACE", "90"))) },
        { "unknown-id", blob (params (param ("WIDTH", "50") + allValues)) },
        { "nested-children",
          blob (params ("<PARAM id=\"SPACE\" value=\"70\"><PARAM id=\"GRIT\" value=\"80\"/></PARAM>")) },
        { "empty-root", blob (params ({})) },
    };

    for (const auto& [name, data] : seeds)
        if (! directory.getChildFile (name + ".state").replaceWithData (data.getData(), data.getSize()))
            return 1;

    std::cout << seeds.size() << " seeds written to " << directory.getFullPathName() << "\n";
    return 0;
}
