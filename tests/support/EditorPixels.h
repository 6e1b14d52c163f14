#pragma once

#include <cmath>
#include <cstdlib>
#include <juce_graphics/juce_graphics.h>

// Pixel checks for drawings rendered into a juce::Image. Edges are anti-aliased, so a drawn point is
// looked for among the pixels around it, and colours are compared with a small tolerance.
namespace EditorPixels
{
constexpr int defaultTolerance = 10;

// Colours are compared unpremultiplied, so a partly covered pixel on a transparent image still shows
// the colour that was drawn; a pixel counts only if it is mostly covered.
inline bool matches (juce::Colour actual, juce::Colour expected, int tolerance = defaultTolerance)
{
    const auto near = [tolerance] (int a, int b) { return std::abs (a - b) <= tolerance; };
    return actual.getAlpha() >= 128 && near (actual.getRed(), expected.getRed()) &&
           near (actual.getGreen(), expected.getGreen()) && near (actual.getBlue(), expected.getBlue());
}

inline bool isClear (juce::Colour actual) { return actual.getAlpha() == 0; }

// Whether any pixel whose centre lies within `radius` of `point` has the expected colour.
inline bool hasColourNear (const juce::Image& image,
                           juce::Point<float> point,
                           juce::Colour expected,
                           float radius = 1.0f,
                           int tolerance = defaultTolerance)
{
    const int reach = (int) std::ceil (radius) + 1;
    const int px = (int) std::floor (point.x);
    const int py = (int) std::floor (point.y);

    for (int y = py - reach; y <= py + reach; ++y)
        for (int x = px - reach; x <= px + reach; ++x)
            if (juce::isPositiveAndBelow (x, image.getWidth()) && juce::isPositiveAndBelow (y, image.getHeight()) &&
                point.getDistanceFrom ({ (float) x + 0.5f, (float) y + 0.5f }) <= radius &&
                matches (image.getPixelAt (x, y), expected, tolerance))
                return true;

    return false;
}

inline juce::Image makeClearImage (int width, int height)
{
    return juce::Image (juce::Image::ARGB, width, height, true, juce::SoftwareImageType());
}
} // namespace EditorPixels
