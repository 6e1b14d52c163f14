#pragma once

#include "AudioFileIO.h"
#include "Macros.h"

#include <array>
#include <juce_core/juce_core.h>
#include <optional>
#include <vector>

// One input file and the file its render goes to.
struct FileToRender
{
    juce::File input;
    juce::File output;
};

// Everything the command line asks for, checked and with defaults filled in.
struct RenderOptions
{
    static constexpr int defaultBlockSize = 512;
    static constexpr double defaultSampleRate = 48000.0; // for the demo and --info
    static constexpr double demoBpm = 120.0;

    std::vector<FileToRender> files; // folders expanded; none: render the built-in demo
    juce::File output;  // the demo's file, a single render's file, or a batch's folder (none: beside each input)
    bool batch = false; // several inputs, a folder, or an output folder: one result per file
    OutputEncoding encoding;
    std::optional<int> jobs; // unset: one per core

    juce::File plot;           // none: no plot
    juce::File automation;     // none: no automation
    juce::File plugin;         // none: the bundle this build produced, then the installed one
    juce::String format;       // "vst3" or "lv2" (--format); empty: --plugin's, else VST3
    juce::File settingsToSave; // none: no settings file written
    juce::File presetFile;     // --preset FILE.vstpreset; its values fill the controls left unset

    std::array<std::optional<float>, HostMacros::count> macros; // unset: the plug-in's default
    std::optional<double> bpm;                                  // unset: a host without tempo
    std::optional<double> sampleRate;  // the demo's and --info's rate; a file renders at its own
    std::optional<double> tailSeconds; // unset: the tail the plug-in reports
    int blockSize = defaultBlockSize;
    bool compensateLatency = true;

    bool showInfo = false;
    bool showHelp = false;
    bool listPresets = false;
    bool onlySaveSettings = false; // --save-settings without an input: no demo

    bool isDemo() const { return files.empty(); }
};
