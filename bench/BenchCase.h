#pragma once

#include <string>

// The macro settings a case runs with.
enum class MacroSetting
{
    defaults,  // the parameters' own defaults
    allZero,   // all four at 0
    allFull,   // all four at 100
    automated, // a new value for each of the four in every block
};

// One point of the grid: a sample rate, a layout, a block length and a macro setting.
struct BenchCase
{
    double sampleRate = 48000.0;
    int numChannels = 2;
    int blockSize = 512;
    MacroSetting setting = MacroSetting::defaults;

    double blockSeconds() const { return blockSize / sampleRate; }

    // "48k/stereo/512", the part of a benchmark name that identifies the block shape.
    std::string shapeName() const
    {
        const auto rate = sampleRate == 44100.0 ? std::string ("44.1k")
                                                : std::to_string (static_cast<int> (sampleRate / 1000.0)) + "k";
        return rate + (numChannels == 1 ? "/mono/" : "/stereo/") + std::to_string (blockSize);
    }

    std::string settingName() const
    {
        switch (setting)
        {
        case MacroSetting::defaults:
            return "default";
        case MacroSetting::allZero:
            return "all0";
        case MacroSetting::allFull:
            return "all100";
        case MacroSetting::automated:
            return "automated";
        }
        return {};
    }
};
