#include "engine/MacroTable.h"
#include "processor/StateBlob.h"
#include "processor/VeldranoxAudioProcessor.h"

#include <cmath>
#include <string>

namespace
{
std::unique_ptr<juce::AudioParameterFloat> makeMacroParameter (const MacroInfo& macro)
{
    const juce::NormalisableRange<float> range {
        MacroRange::minimum, MacroRange::maximum, MacroRange::interval, 1.0f, false
    };
    return std::make_unique<juce::AudioParameterFloat> (
        juce::ParameterID { macro.id, 1 }, macro.name, range, macro.defaultValue);
}

} // namespace

juce::AudioProcessorValueTreeState::ParameterLayout VeldranoxAudioProcessor::createParameterLayout()
{
    juce::AudioProcessorValueTreeState::ParameterLayout layout;
    for (const auto& macro : macroTable)
        layout.add (makeMacroParameter (macro));

    return layout;
}

void VeldranoxAudioProcessor::getStateInformation (juce::MemoryBlock& destData)
{
    if (auto xml = parameters.copyState().createXml())
        copyXmlToBinary (*xml, destData);
}

void VeldranoxAudioProcessor::setStateInformation (const void* data, int sizeInBytes)
{
    const auto xml = StateBlob::readXml (data, sizeInBytes);

    if (xml == nullptr || ! xml->hasTagName (parameters.state.getType()))
        return;

    auto restored = juce::ValueTree::fromXml (*xml);
    keepValuesMissingFrom (restored);
    StateBlob::makeStoredValuesSafe (restored);
    parameters.replaceState (restored);
    startAtRestoredValues = ! hasProcessedSincePrepare;
    announceValuesToAnLv2Host();
}

// JUCE's LV2 wrapper sends the host a parameter's value only when the value changes, so after inserting
// the plug-in, or restoring a session whose values match the plug-in's, an LV2 host would show its own
// guess (zero, in some hosts) in place of the real values. Every value is therefore announced once after
// instantiation and after each restore; the wrapper sends them with the next processed block. Hosts of
// the other formats read the values from the plug-in themselves.
void VeldranoxAudioProcessor::announceValuesToAnLv2Host()
{
    if (wrapperType != wrapperType_LV2)
        return;

    for (auto* parameter : getParameters())
        parameter->sendValueChangedMessageToListeners (parameter->getValue());
}

void VeldranoxAudioProcessor::keepValuesMissingFrom (juce::ValueTree& restored) const
{
    // The tree gives a parameter that has no child in a restored state its default. A state saved before
    // a parameter existed must not reset it, so such a parameter keeps its current value.
    static const juce::Identifier paramType { "PARAM" }, idProperty { "id" }, valueProperty { "value" };

    for (const auto& macro : macroTable)
    {
        const auto* id = macro.id;

        if (restored.getChildWithProperty (idProperty, id).isValid())
            continue;

        juce::ValueTree current { paramType };
        current.setProperty (idProperty, id, nullptr);
        current.setProperty (valueProperty, parameters.getRawParameterValue (id)->load(), nullptr);
        restored.appendChild (current, nullptr);
    }
}
