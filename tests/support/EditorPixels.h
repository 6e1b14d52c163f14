#pragma once

#include <algorithm>
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
// Relative luminance of an opaque colour, as the W3C's contrast guidelines define it.
inline double relativeLuminance (juce::Colour colour)
{
    const auto linear = [] (juce::uint8 component)
    {
        const double c = component / 255.0;
        return c <= 0.03928 ? c / 12.92 : std::pow ((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear (colour.getRed()) + 0.7152 * linear (colour.getGreen()) + 0.0722 * linear (colour.getBlue());
}

// From 1 (no contrast) to 21 (black on white); 4.5 is the guidelines' minimum for body text.
inline double contrastRatio (juce::Colour a, juce::Colour b)
{
    const double la = relativeLuminance (a);
    const double lb = relativeLuminance (b);
    return (std::max (la, lb) + 0.05) / (std::min (la, lb) + 0.05);
}

// The pixel in `area` that stands out most from `background`: where text is drawn, a glyph's fully covered ink.
inline juce::Colour inkIn (const juce::Image& image, juce::Rectangle<int> area, juce::Colour background)
{
    juce::Colour ink = background;

    for (int y = area.getY(); y < area.getBottom(); ++y)
        for (int x = area.getX(); x < area.getRight(); ++x)
            if (const auto pixel = image.getPixelAt (x, y);
                contrastRatio (pixel, background) > contrastRatio (ink, background))
                ink = pixel;

    return ink;
}
} // namespace EditorPixels
