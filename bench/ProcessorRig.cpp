#include "ProcessorRig.h"

#include "engine/MacroTable.h"

#include <cmath>
#include <stdexcept>

namespace
{

juce::AudioProcessorParameter& parameterFor (VeldranoxAudioProcessor& processor, const char* id)
{
    if (auto* parameter = processor.parameters.getParameter (id))
        return *parameter;

    throw std::runtime_error (std::string ("no parameter ") + id);
}

} // namespace

ProcessorRig::ProcessorRig (const BenchCase& c, float inputPeak)
    : benchCase (c), sweep (c.blockSeconds()), input (c.numChannels, c.blockSize, inputPeak)
{
    for (std::size_t k = 0; k < macros.size(); ++k)
        macros[k] = &parameterFor (processor, macroTable[k].id);

    if (c.numChannels == 1)
    {
        juce::AudioProcessor::BusesLayout mono;
        mono.inputBuses.add (juce::AudioChannelSet::mono());
        mono.outputBuses.add (juce::AudioChannelSet::mono());

        if (! processor.setBusesLayout (mono))
            throw std::runtime_error ("the processor refused the mono layout");
    }

    setMacros (c.setting == MacroSetting::automated ? sweep.next() : fixedValues());
    processor.prepareToPlay (c.sampleRate, c.blockSize);
}

MacroSweep::Values ProcessorRig::fixedValues() const
{
    MacroSweep::Values values {};

    for (std::size_t k = 0; k < values.size(); ++k)
        values[k] = benchCase.setting == MacroSetting::allZero   ? 0.0f
                    : benchCase.setting == MacroSetting::allFull ? 1.0f
                                                                 : macros[k]->getDefaultValue();
    return values;
}

void ProcessorRig::setMacros (const MacroSweep::Values& normalised)
{
    for (std::size_t k = 0; k < macros.size(); ++k)
        macros[k]->setValueNotifyingHost (normalised[k]);
}

void ProcessorRig::prepareNextBlock()
{
    input.refill();

    if (benchCase.setting == MacroSetting::automated)
        setMacros (sweep.next());
}

void ProcessorRig::runFor (double seconds)
{
    const auto blocks = static_cast<long> (std::ceil (seconds / benchCase.blockSeconds()));

    for (long b = 0; b < blocks; ++b)
    {
        prepareNextBlock();
        processBlock();
    }
}
