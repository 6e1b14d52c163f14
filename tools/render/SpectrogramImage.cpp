#include "SpectrogramImage.h"

#include <algorithm>
#include <cmath>
#include <juce_dsp/juce_dsp.h>
#include <vector>

namespace SpectrogramImage
{
namespace
{
// About 85 ms per analysis frame at any rate: fine enough in time for drum hits, and in frequency for
// the low strings of a chord.
constexpr double frameSeconds = 0.085;
constexpr int minimumFftOrder = 10;
constexpr int maximumFftOrder = 14;

int fftOrderFor (double sampleRate)
{
    const auto order = (int) std::lround (std::log2 (sampleRate * frameSeconds));
    return juce::jlimit (minimumFftOrder, maximumFftOrder, order);
}

// For one image row: the bins it covers, or the two bins it falls between when the row is narrower
// than a bin (low frequencies).
struct RowBins
{
    int first;
    int last;
    float fraction; // for a narrow row: the weight of bin `last` against bin `first`
    bool narrow;
};

std::vector<RowBins> rowBinsFor (int height, int fftSize, double sampleRate)
{
    const auto top = topFrequency (sampleRate);
    const auto binOf = [&] (float frequency) { return frequency * (float) fftSize / (float) sampleRate; };
    const auto frequencyAt = [&] (float rowFromBottom)
    { return lowestFrequency * std::pow (top / lowestFrequency, rowFromBottom / (float) height); };

    std::vector<RowBins> rows ((size_t) height);
    for (int y = 0; y < height; ++y)
    {
        const auto fromBottom = (float) (height - 1 - y);
        const auto lowBin = binOf (frequencyAt (fromBottom));
        const auto highBin = binOf (frequencyAt (fromBottom + 1.0f));
        const auto centreBin = binOf (frequencyAt (fromBottom + 0.5f));

        if (highBin - lowBin < 1.0f)
            rows[(size_t) y] = { (int) centreBin, (int) centreBin + 1, centreBin - std::floor (centreBin), true };
        else
            rows[(size_t) y] = { (int) std::ceil (lowBin), (int) std::floor (highBin), 0.0f, false };
    }

    return rows;
}

const std::vector<juce::Colour>& colourTable()
{
    static const auto table = []
    {
        juce::ColourGradient gradient;
        gradient.addColour (0.0, juce::Colour (0xff07070d));
        gradient.addColour (0.25, juce::Colour (0xff2c1160));
        gradient.addColour (0.5, juce::Colour (0xff8c2981));
        gradient.addColour (0.72, juce::Colour (0xffe35932));
        gradient.addColour (0.88, juce::Colour (0xfffca636));
        gradient.addColour (1.0, juce::Colour (0xfffcfdbf));

        std::vector<juce::Colour> colours (256);
        for (size_t i = 0; i < colours.size(); ++i)
            colours[i] = gradient.getColourAtPosition ((double) i / (double) (colours.size() - 1));
        return colours;
    }();

    return table;
}
} // namespace

float topFrequency (double sampleRate) { return std::min (highestFrequency, (float) sampleRate * 0.48f); }

float heightOf (float frequency, double sampleRate)
{
    return std::log (frequency / lowestFrequency) / std::log (topFrequency (sampleRate) / lowestFrequency);
}

juce::Colour colourFor (float decibels)
{
    const auto& table = colourTable();
    const auto position = (decibels - floorDecibels) / (ceilingDecibels - floorDecibels);
    const auto index =
        juce::jlimit (0, (int) table.size() - 1, (int) std::lround (position * (float) (table.size() - 1)));
    return table[(size_t) index];
}

juce::Image
render (const juce::AudioBuffer<float>& samples, juce::int64 totalSamples, double sampleRate, int width, int height)
{
    const auto order = fftOrderFor (sampleRate);
    const auto fftSize = 1 << order;
    juce::dsp::FFT fft (order);
    juce::dsp::WindowingFunction<float> window ((size_t) fftSize, juce::dsp::WindowingFunction<float>::hann, false);

    // A sine of amplitude A peaks at A times half the window's sum.
    std::vector<float> ones ((size_t) fftSize, 1.0f);
    window.multiplyWithWindowingTable (ones.data(), ones.size());
    float windowSum = 0.0f;
    for (auto w : ones)
        windowSum += w;
    const auto toAmplitude = 2.0f / windowSum;

    const auto rows = rowBinsFor (height, fftSize, sampleRate);
    const auto numChannels = samples.getNumChannels();
    const auto available = (juce::int64) samples.getNumSamples();
    std::vector<float> frame ((size_t) fftSize * 2);

    juce::Image image (juce::Image::RGB, width, height, false);
    juce::Image::BitmapData pixels (image, juce::Image::BitmapData::writeOnly);

    for (int x = 0; x < width; ++x)
    {
        const auto centre = (juce::int64) (((double) x + 0.5) / width * (double) totalSamples);
        std::fill (frame.begin(), frame.end(), 0.0f);

        for (int i = 0; i < fftSize; ++i)
        {
            const auto index = centre - fftSize / 2 + i;
            if (index < 0 || index >= available)
                continue;
            for (int channel = 0; channel < numChannels; ++channel)
                frame[(size_t) i] += samples.getSample (channel, (int) index) / (float) numChannels;
        }

        window.multiplyWithWindowingTable (frame.data(), (size_t) fftSize);
        fft.performFrequencyOnlyForwardTransform (frame.data(), true);

        const auto magnitude = [&] (int bin) { return frame[(size_t) juce::jlimit (0, fftSize / 2, bin)]; };

        for (int y = 0; y < height; ++y)
        {
            const auto& row = rows[(size_t) y];
            float level = 0.0f;

            if (row.narrow)
                level = magnitude (row.first) + row.fraction * (magnitude (row.last) - magnitude (row.first));
            else
                for (int bin = row.first; bin <= row.last; ++bin)
                    level = std::max (level, magnitude (bin));

            pixels.setPixelColour (x, y, colourFor (juce::Decibels::gainToDecibels (level * toAmplitude, -200.0f)));
        }
    }

    return image;
}
} // namespace SpectrogramImage
