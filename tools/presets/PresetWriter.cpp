// veldranox-preset-writer: writes the factory bank's VST3 preset files and LV2 preset bundle at build time.
// Each preset's state is the bytes the plug-in's own getStateInformation produces once its four
// parameters hold the preset's values, so the files always carry what this build of the plug-in saves.
//
// Usage: veldranox-preset-writer VST3_BUNDLE LV2_PLUGIN_URI VST3_PRESET_DIR LV2_PRESET_BUNDLE

#include "ComponentClassId.h"
#include "Lv2PresetBundle.h"
#include "VstPresetFile.h"
#include "presets/FactoryPresets.h"
#include "processor/VeldranoxAudioProcessor.h"

#include <iostream>
#include <juce_events/juce_events.h>

namespace
{
struct Failure
{
    juce::String message;
};

// The state the plug-in saves with the preset's values; refuses a value the parameter would not hold
// exactly as the table states it (off the 0.1 grid or out of range).
juce::MemoryBlock stateFor (const FactoryPreset& preset)
{
    VeldranoxAudioProcessor processor;

    for (std::size_t i = 0; i < numMacros; ++i)
    {
        auto* parameter = processor.parameters.getParameter (macroTable[i].id);
        if (parameter == nullptr)
            throw Failure { juce::String ("the plug-in has no parameter ") + macroTable[i].id };

        const auto wanted = preset.values[i];
        parameter->setValueNotifyingHost (parameter->convertTo0to1 (wanted));
        const auto held = parameter->convertFrom0to1 (parameter->getValue());

        if (std::abs (held - wanted) > 1.0e-4f)
            throw Failure { juce::String (preset.name) + ": " + macroTable[i].name + " " + juce::String (wanted) +
                            " is held as " + juce::String (held) };
    }

    juce::MemoryBlock state;
    processor.getStateInformation (state);
    return state;
}

void replaceFile (const juce::File& file, const void* data, size_t size)
{
    if (! file.replaceWithData (data, size))
        throw Failure { "cannot write " + file.getFullPathName() };
}

void replaceFile (const juce::File& file, const juce::String& text)
{
    replaceFile (file, text.toRawUTF8(), text.getNumBytesAsUTF8());
}

// A fresh, empty folder: a preset dropped from the table must not survive in the build's output.
void makeEmptyFolder (const juce::File& folder)
{
    if ((folder.exists() && ! folder.deleteRecursively()) || ! folder.createDirectory())
        throw Failure { "cannot make an empty folder " + folder.getFullPathName() };
}

void write (const juce::File& vst3Bundle,
            const juce::String& pluginUri,
            const juce::File& vst3Folder,
            const juce::File& lv2Bundle)
{
    std::string error;
    const juce::String classId = audioModuleClassId (vst3Bundle.getFullPathName().toStdString(), error);
    if (classId.isEmpty())
        throw Failure { error };

    makeEmptyFolder (vst3Folder);
    makeEmptyFolder (lv2Bundle);

    juce::Array<Lv2PresetBundle::Preset> lv2Presets;

    for (const auto& preset : factoryPresets)
    {
        const auto state = stateFor (preset);
        const auto file = VstPresetFile::write (classId, state);
        replaceFile (
            vst3Folder.getChildFile (juce::String (preset.name) + ".vstpreset"), file.getData(), file.getSize());

        lv2Presets.add (
            { pluginUri + ":preset:" + factoryPresetSlug (preset), preset.name, preset.description, state });
    }

    replaceFile (lv2Bundle.getChildFile ("manifest.ttl"), Lv2PresetBundle::manifestTtl (pluginUri, lv2Presets));
    replaceFile (lv2Bundle.getChildFile (Lv2PresetBundle::presetsFileName),
                 Lv2PresetBundle::presetsTtl (pluginUri, lv2Presets));
}
} // namespace

int main (int argc, char** argv)
{
    if (argc != 5)
    {
        std::cerr << "usage: veldranox-preset-writer VST3_BUNDLE LV2_PLUGIN_URI VST3_PRESET_DIR LV2_PRESET_BUNDLE\n";
        return 2;
    }

    // The processor's parameter tree expects a message thread; this one plays it.
    juce::ScopedJuceInitialiser_GUI juce;
    const auto absolute = [] (const char* path)
    { return juce::File::getCurrentWorkingDirectory().getChildFile (path); };

    try
    {
        write (absolute (argv[1]), argv[2], absolute (argv[3]), absolute (argv[4]));
    }
    catch (const Failure& failure)
    {
        std::cerr << "veldranox-preset-writer: " << failure.message << "\n";
        return 1;
    }

    std::cout << factoryPresets.size() << " factory presets written to " << argv[3] << " and " << argv[4] << "\n";
    return 0;
}
