#include "HostedSession.h"

HostedSession::HostedSession()
{
    auto result = HostedPlugin::load (HostedPlugin::builtBundle(), 44100.0, 512);
    instance = std::move (result.instance);
    error = result.error;
}

bool HostedSession::prepare (double sampleRate, int maxBlockSize, const juce::AudioChannelSet& layout)
{
    instance->releaseResources();

    juce::AudioProcessor::BusesLayout buses;
    buses.inputBuses.add (layout);
    buses.outputBuses.add (layout);

    if (instance->getBusesLayout() != buses && ! instance->setBusesLayout (buses))
        return false;

    instance->prepareToPlay (sampleRate, maxBlockSize);
    HostedPlugin::pumpMessages (20);
    scratch.setSize (numChannels(), juce::jmax (1, maxBlockSize));
    return true;
}

int HostedSession::numChannels() const
{
    return juce::jmax (instance->getTotalNumInputChannels(), instance->getTotalNumOutputChannels());
}

void HostedSession::process (juce::AudioBuffer<float>& buffer)
{
    midi.clear();
    instance->processBlock (buffer, midi);
}

BlockHealth HostedSession::processNoise (int numBlocks, int blockSize, juce::Random& random)
{
    BlockHealth health;

    if (blockSize > scratch.getNumSamples())
        scratch.setSize (numChannels(), blockSize);

    juce::AudioBuffer<float> block (scratch.getArrayOfWritePointers(), numChannels(), blockSize);

    for (int b = 0; b < numBlocks; ++b)
    {
        fillWithNoise (block, random, blockSize);
        process (block);
        health.absorb (block);
    }

    return health;
}

juce::AudioProcessorParameter* HostedSession::parameter (const juce::String& name)
{
    return HostedPlugin::findParameter (*instance, name);
}

juce::MemoryBlock HostedSession::saveState()
{
    juce::MemoryBlock state;
    instance->getStateInformation (state);
    return state;
}

void HostedSession::restoreState (const juce::MemoryBlock& state)
{
    instance->setStateInformation (state.getData(), static_cast<int> (state.getSize()));
}
