// Arbitrary bytes as a saved state: whatever a damaged project file holds, a restore must leave every
// control at a usable value, and what is saved afterwards must round-trip exactly.
#include "FuzzEnvironment.h"
#include "engine/MacroTable.h"
#include "processor/StateBlob.h"
#include "processor/VeldranoxAudioProcessor.h"

#include <cmath>
#include <cstdint>

namespace
{
float rawValue (VeldranoxAudioProcessor& processor, const char* id)
{
    return processor.parameters.getRawParameterValue (id)->load();
}

void requireUsableControls (VeldranoxAudioProcessor& processor)
{
    for (const auto& macro : macroTable)
    {
        const auto* id = macro.id;
        const float value = rawValue (processor, id);
        VELDRANOX_FUZZ_REQUIRE (std::isfinite (value) && value >= MacroRange::minimum && value <= MacroRange::maximum);

        const float normalised = processor.parameters.getParameter (id)->getValue();
        VELDRANOX_FUZZ_REQUIRE (normalised >= 0.0f && normalised <= 1.0f);
    }
}

// The reader's guards on their own, on the bytes taken as text: a text they let through is left as it is by
// a second pass, and an exponent bound once stays bound.
void requireGuardsSettle (const std::uint8_t* data, std::size_t size)
{
    const auto* text = reinterpret_cast<const char*> (data);

    if (! StateBlob::isWellFormedUtf8 (text, static_cast<int> (size)))
        return;

    const auto bounded = StateBlob::withBoundedExponents (juce::String::fromUTF8 (text, static_cast<int> (size)));
    VELDRANOX_FUZZ_REQUIRE (StateBlob::withBoundedExponents (bounded) == bounded);

    juce::ValueTree tree { "PARAMS" };
    tree.appendChild (juce::ValueTree { "PARAM" }.setProperty ("value", bounded, nullptr), nullptr);
    StateBlob::makeStoredValuesSafe (tree);
    const auto& safe = tree.getChild (0).getProperty ("value");
    VELDRANOX_FUZZ_REQUIRE (safe.isVoid() || ! std::isnan (static_cast<float> (safe)));
}

juce::MemoryBlock save (VeldranoxAudioProcessor& processor)
{
    juce::MemoryBlock state;
    processor.getStateInformation (state);
    return state;
}
} // namespace

extern "C" int LLVMFuzzerInitialize (int*, char***)
{
    startJuceForFuzzing();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput (const std::uint8_t* data, std::size_t size)
{
    // Real states are a few hundred bytes; far larger inputs only slow the search down.
    if (size > 16384)
        return 0;

    requireGuardsSettle (data, size);

    VeldranoxAudioProcessor restored;
    restored.setStateInformation (data, static_cast<int> (size));
    requireUsableControls (restored);

    // A damaged blob may restore lossily (duplicate attributes, say), but from then on what is saved
    // must restore to the same values and save again byte for byte.
    const auto saved = save (restored);
    VeldranoxAudioProcessor reopened;
    reopened.setStateInformation (saved.getData(), static_cast<int> (saved.getSize()));
    requireUsableControls (reopened);

    const auto savedAgain = save (reopened);
    VeldranoxAudioProcessor reopenedAgain;
    reopenedAgain.setStateInformation (savedAgain.getData(), static_cast<int> (savedAgain.getSize()));

    for (const auto& macro : macroTable)
        VELDRANOX_FUZZ_REQUIRE (rawValue (reopenedAgain, macro.id) == rawValue (reopened, macro.id));

    VELDRANOX_FUZZ_REQUIRE (save (reopenedAgain) == savedAgain);
    return 0;
}
