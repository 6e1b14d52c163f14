#include "RenderPlot.h"

#include "SpectrogramImage.h"
#include "ToolError.h"

#include <cmath>

namespace RenderPlot
{
namespace
{
namespace Palette
{
const juce::Colour background (0xff0f1116);
const juce::Colour panel (0xff161922);
const juce::Colour grid (0xff2b303c);
const juce::Colour text (0xffdfe2ea);
const juce::Colour dimText (0xff8d93a3);
const juce::Colour input (0xff4fc3f7);
const juce::Colour output (0xffffb74d);
const juce::Colour marker (0xffe6e6e6);
} // namespace Palette

constexpr int headerHeight = 66;
constexpr int leftMargin = 78;
constexpr int rightMargin = 86;
constexpr int timeAxisHeight = 40;
constexpr int waveformHeight = 120;
constexpr int panelGap = 6;
constexpr int sectionGap = 22;
constexpr int minimumTickSpacing = 90; // pixels between time labels

juce::Font font (float size, bool bold = false)
{
    const auto style = bold ? juce::Font::bold : juce::Font::plain;
#if JUCE_MAJOR_VERSION >= 8
    return juce::Font (juce::FontOptions (juce::Font::getDefaultSansSerifFontName(), size, style));
#else
    return juce::Font (juce::Font::getDefaultSansSerifFontName(), size, style);
#endif
}

// Maps sample positions onto the shared horizontal axis.
struct TimeAxis
{
    int left;
    int right;
    juce::int64 totalSamples;
    double sampleRate;

    float xOf (double seconds) const
    {
        return (float) left + (float) (seconds * sampleRate / (double) totalSamples) * (float) (right - left);
    }

    double totalSeconds() const { return (double) totalSamples / sampleRate; }
};

double niceTickStep (double totalSeconds, int pixels)
{
    const double steps[] = { 0.05, 0.1, 0.2, 0.25, 0.5, 1, 2, 5, 10, 15, 30, 60, 120, 300, 600, 1200 };
    for (const auto step : steps)
        if (step / totalSeconds * pixels >= minimumTickSpacing)
            return step;
    return steps[std::size (steps) - 1];
}

juce::String secondsText (double seconds)
{
    if (seconds >= 60.0 && std::fmod (seconds, 60.0) == 0.0)
        return juce::String ((int) (seconds / 60.0)) + " min";
    return (seconds == std::floor (seconds) ? juce::String ((int) seconds)
                                            : juce::String (seconds, 2).trimCharactersAtEnd ("0")) +
           " s";
}

void drawWaveform (juce::Graphics& g,
                   juce::Rectangle<int> area,
                   const juce::AudioBuffer<float>& samples,
                   juce::int64 totalSamples,
                   juce::Colour colour)
{
    g.setColour (Palette::panel);
    g.fillRect (area);

    const auto centreY = (float) area.getCentreY();
    const auto halfHeight = (float) area.getHeight() * 0.5f - 2.0f;

    // Full scale at the panel's edges, -6 dB at the half-way lines.
    g.setColour (Palette::grid);
    for (const auto level : { -0.5f, 0.0f, 0.5f })
        g.drawHorizontalLine ((int) (centreY - level * halfHeight), (float) area.getX(), (float) area.getRight());

    g.setFont (font (12.0f));
    g.setColour (Palette::dimText);
    const auto labelArea = [&] (float level)
    {
        return juce::Rectangle<int> (
            area.getX() - leftMargin, (int) (centreY - level * halfHeight) - 8, leftMargin - 8, 16);
    };
    g.drawText ("0 dB", labelArea (0.94f), juce::Justification::centredRight);
    g.drawText ("-6 dB", labelArea (0.5f), juce::Justification::centredRight);
    g.drawText ("-6 dB", labelArea (-0.5f), juce::Justification::centredRight);

    const auto available = (juce::int64) samples.getNumSamples();
    const auto numChannels = samples.getNumChannels();

    for (int column = 0; column < area.getWidth(); ++column)
    {
        const auto first = (juce::int64) ((double) column / area.getWidth() * (double) totalSamples);
        const auto end =
            std::max (first + 1, (juce::int64) ((double) (column + 1) / area.getWidth() * (double) totalSamples));
        if (first >= available)
            break;

        float lowest = 0.0f, highest = 0.0f;
        double sumOfSquares = 0.0;
        juce::int64 count = 0;
        for (int channel = 0; channel < numChannels; ++channel)
            for (auto i = first; i < std::min (end, available); ++i)
            {
                const auto sample = samples.getSample (channel, (int) i);
                lowest = std::min (lowest, sample);
                highest = std::max (highest, sample);
                sumOfSquares += (double) sample * sample;
                ++count;
            }

        const auto rms = (float) std::sqrt (sumOfSquares / (double) std::max ((juce::int64) 1, count));
        const auto x = (float) (area.getX() + column);
        const auto yOf = [&] (float level) { return centreY - juce::jlimit (-1.0f, 1.0f, level) * halfHeight; };

        g.setColour (colour.withAlpha (0.55f));
        g.drawVerticalLine ((int) x, yOf (highest), yOf (lowest) + 1.0f);
        g.setColour (colour);
        g.drawVerticalLine ((int) x, yOf (rms), yOf (-rms) + 1.0f);
    }
}

void drawFrequencyLabels (juce::Graphics& g, juce::Rectangle<int> area, double sampleRate)
{
    g.setFont (font (12.0f));
    const auto top = SpectrogramImage::topFrequency (sampleRate);

    for (const auto frequency : { 50.0f, 100.0f, 200.0f, 500.0f, 1000.0f, 2000.0f, 5000.0f, 10000.0f, 20000.0f })
    {
        if (frequency > top)
            break;
        const auto y =
            (float) area.getBottom() - SpectrogramImage::heightOf (frequency, sampleRate) * (float) area.getHeight();
        const auto text = frequency >= 1000.0f ? juce::String ((int) (frequency / 1000.0f)) + " kHz"
                                               : juce::String ((int) frequency) + " Hz";
        g.setColour (Palette::dimText);
        g.drawText (text, area.getX() - leftMargin, (int) y - 8, leftMargin - 8, 16, juce::Justification::centredRight);
        g.setColour (juce::Colours::white.withAlpha (0.12f));
        g.drawHorizontalLine ((int) y, (float) area.getX(), (float) area.getRight());
    }
}

void drawColourScale (juce::Graphics& g, juce::Rectangle<int> spectrogramArea)
{
    const auto bar =
        juce::Rectangle<int> (spectrogramArea.getRight() + 14, spectrogramArea.getY(), 12, spectrogramArea.getHeight());
    const auto range = SpectrogramImage::ceilingDecibels - SpectrogramImage::floorDecibels;

    for (int y = 0; y < bar.getHeight(); ++y)
    {
        const auto decibels = SpectrogramImage::ceilingDecibels - range * (float) y / (float) (bar.getHeight() - 1);
        g.setColour (SpectrogramImage::colourFor (decibels));
        g.drawHorizontalLine (bar.getY() + y, (float) bar.getX(), (float) bar.getRight());
    }

    g.setFont (font (11.0f));
    g.setColour (Palette::dimText);
    for (auto decibels = SpectrogramImage::ceilingDecibels; decibels >= SpectrogramImage::floorDecibels;
         decibels -= 25.0f)
    {
        const auto y =
            bar.getY() + (int) ((SpectrogramImage::ceilingDecibels - decibels) / range * (float) (bar.getHeight() - 1));
        g.drawText (juce::String ((int) decibels), bar.getRight() + 4, y - 7, 40, 14, juce::Justification::centredLeft);
    }
    g.drawText ("dB", bar.getRight() + 4, bar.getBottom() + 2, 40, 14, juce::Justification::centredLeft);
}

// Bar lines (with a tempo) or nothing, and the point where the input ends and the tail begins.
void drawTimeMarkers (juce::Graphics& g,
                      juce::Rectangle<int> area,
                      const TimeAxis& axis,
                      std::optional<double> bpm,
                      juce::int64 inputSamples,
                      bool labelled)
{
    if (bpm.has_value())
    {
        const auto barSeconds = 4.0 * 60.0 / *bpm;
        const auto barPixels = axis.xOf (barSeconds) - axis.xOf (0.0);
        const auto everyNthBar = std::max (1, (int) std::ceil (40.0f / barPixels));

        g.setFont (font (11.0f));
        for (int bar = 0; bar * barSeconds < axis.totalSeconds(); bar += everyNthBar)
        {
            const auto x = axis.xOf (bar * barSeconds);
            g.setColour (juce::Colours::white.withAlpha (0.16f));
            g.drawVerticalLine ((int) x, (float) area.getY(), (float) area.getBottom());
            if (labelled)
            {
                g.setColour (Palette::dimText);
                g.drawText ("bar " + juce::String (bar + 1),
                            (int) x + 4,
                            area.getY() + 2,
                            60,
                            14,
                            juce::Justification::centredLeft);
            }
        }
    }

    const auto end = axis.xOf ((double) inputSamples / axis.sampleRate);
    g.setColour (Palette::marker.withAlpha (0.7f));
    const float dashes[] = { 5.0f, 4.0f };
    g.drawDashedLine (juce::Line<float> (end, (float) area.getY(), end, (float) area.getBottom()), dashes, 2, 1.2f);

    if (labelled && end < (float) area.getRight() - 120.0f)
    {
        g.setFont (font (12.0f));
        g.drawText (juce::String::fromUTF8 ("input ends, tail \xe2\x86\x92"),
                    (int) end + 6,
                    area.getY() + 18,
                    140,
                    14,
                    juce::Justification::centredLeft);
    }
}

void drawTimeAxis (juce::Graphics& g, juce::Rectangle<int> area, const TimeAxis& axis)
{
    const auto step = niceTickStep (axis.totalSeconds(), axis.right - axis.left);
    g.setFont (font (12.0f));

    for (double t = 0.0; t <= axis.totalSeconds() + 1.0e-9; t += step)
    {
        const auto x = axis.xOf (t);
        g.setColour (Palette::grid);
        g.drawVerticalLine ((int) x, (float) area.getY(), (float) area.getY() + 6.0f);
        g.setColour (Palette::dimText);
        g.drawText (secondsText (t), (int) x - 40, area.getY() + 8, 80, 16, juce::Justification::centred);
    }
}

void drawSection (juce::Graphics& g,
                  juce::Rectangle<int> area,
                  const juce::AudioBuffer<float>& samples,
                  const Content& content,
                  const TimeAxis& axis,
                  juce::int64 inputSamples,
                  juce::Colour colour,
                  const juce::String& name)
{
    const auto waveformArea = area.removeFromTop (waveformHeight);
    area.removeFromTop (panelGap);
    const auto spectrogramArea = area;

    drawWaveform (g, waveformArea, samples, axis.totalSamples, colour);
    g.drawImageAt (
        SpectrogramImage::render (
            samples, axis.totalSamples, content.sampleRate, spectrogramArea.getWidth(), spectrogramArea.getHeight()),
        spectrogramArea.getX(),
        spectrogramArea.getY());
    drawFrequencyLabels (g, spectrogramArea, content.sampleRate);
    drawColourScale (g, spectrogramArea);

    drawTimeMarkers (g, waveformArea, axis, content.bpm, inputSamples, true);
    drawTimeMarkers (g, spectrogramArea, axis, content.bpm, inputSamples, false);

    g.setFont (font (14.0f, true));
    g.setColour (colour);
    g.drawText (name, waveformArea.reduced (8, 4).removeFromBottom (18), juce::Justification::bottomLeft);
}
} // namespace

juce::Image draw (const Content& content)
{
    juce::Image image (juce::Image::RGB, width, height, true);
    juce::Graphics g (image);
    g.fillAll (Palette::background);

    auto area = image.getBounds();
    auto header = area.removeFromTop (headerHeight).reduced (leftMargin, 10);
    g.setColour (Palette::text);
    g.setFont (font (22.0f, true));
    g.drawText (content.title, header.removeFromTop (28), juce::Justification::centredLeft);
    g.setColour (Palette::dimText);
    g.setFont (font (14.0f));
    g.drawText (content.settings, header, juce::Justification::centredLeft);

    area.removeFromLeft (leftMargin);
    area.removeFromRight (rightMargin);
    const auto timeAxisArea = area.removeFromBottom (timeAxisHeight);
    const auto sectionHeight = (area.getHeight() - sectionGap) / 2;
    const auto inputArea = area.removeFromTop (sectionHeight);
    area.removeFromTop (sectionGap);
    const auto outputArea = area.removeFromTop (sectionHeight);

    const auto totalSamples = (juce::int64) std::max (content.input.getNumSamples(), content.output.getNumSamples());
    const TimeAxis axis {
        inputArea.getX(), inputArea.getRight(), std::max ((juce::int64) 1, totalSamples), content.sampleRate
    };
    const auto inputSamples = (juce::int64) content.input.getNumSamples();

    drawSection (g, inputArea, content.input, content, axis, inputSamples, Palette::input, "Input");
    drawSection (g, outputArea, content.output, content, axis, inputSamples, Palette::output, content.outputLabel);
    drawTimeAxis (g, timeAxisArea, axis);

    return image;
}

void writePng (const StagedFile& destination, const juce::Image& image)
{
    const auto stream = destination.openStream();
    juce::PNGImageFormat png;

    const auto encoded = png.writeImageToStream (image, *stream);
    stream->flush();

    if (! encoded || stream->getStatus().failed())
        throw ToolError (ExitStatus::notWritten, "cannot write " + destination.target().getFullPathName());
}
} // namespace RenderPlot
