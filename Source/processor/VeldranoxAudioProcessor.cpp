#include "processor/VeldranoxAudioProcessor.h"

#include "editor/VeldranoxAudioProcessorEditor.h"

namespace
{
constexpr double tailSeconds = 6.0;
} // namespace

juce::AudioProcessor::BusesProperties VeldranoxAudioProcessor::makeBusesProperties()
{
    return BusesProperties()
        .withInput ("Input", juce::AudioChannelSet::stereo(), true)
        .withOutput ("Output", juce::AudioChannelSet::stereo(), true);
}

VeldranoxAudioProcessor::VeldranoxAudioProcessor()
    : juce::AudioProcessor (makeBusesProperties()), parameters (*this, nullptr, "PARAMS", createParameterLayout())
{
    for (size_t k = 0; k < numMacros; ++k)
        macroValues[k] = parameters.getRawParameterValue (macroTable[k].id);
}

VeldranoxAudioProcessor::~VeldranoxAudioProcessor() = default;

const juce::String VeldranoxAudioProcessor::getName() const { return "VELDRANOX"; }

void VeldranoxAudioProcessor::releaseResources() {}

double VeldranoxAudioProcessor::getTailLengthSeconds() const { return tailSeconds; }
bool VeldranoxAudioProcessor::acceptsMidi() const { return false; }
bool VeldranoxAudioProcessor::producesMidi() const { return false; }
bool VeldranoxAudioProcessor::isMidiEffect() const { return false; }

juce::AudioProcessorEditor* VeldranoxAudioProcessor::createEditor()
{
    return new VeldranoxAudioProcessorEditor (*this);
}

bool VeldranoxAudioProcessor::hasEditor() const { return true; }

int VeldranoxAudioProcessor::getNumPrograms() { return 1; }
int VeldranoxAudioProcessor::getCurrentProgram() { return 0; }
void VeldranoxAudioProcessor::setCurrentProgram (int) {}
const juce::String VeldranoxAudioProcessor::getProgramName (int) { return {}; }
void VeldranoxAudioProcessor::changeProgramName (int, const juce::String&) {}

bool VeldranoxAudioProcessor::isBusesLayoutSupported (const BusesLayout& layouts) const
{
    const auto output = layouts.getMainOutputChannelSet();

    if (output != juce::AudioChannelSet::mono() && output != juce::AudioChannelSet::stereo())
        return false;

    return layouts.getMainInputChannelSet() == output;
}

juce::AudioProcessor* JUCE_CALLTYPE createPluginFilter() { return new VeldranoxAudioProcessor(); }
