#include "editor/QuartzineLookAndFeel.h"

#include "editor/QuartzinePalette.h"

#include <cmath>

namespace
{
constexpr float knobAreaInset = 6.0f;
constexpr float discMargin = 4.0f; // between the disc and the inset knob area
constexpr float ringGap = 6.0f;    // from the disc's edge out to the centre line of the arcs
constexpr float arcThickness = 3.0f;
constexpr float minimumVisibleArc = 0.001f; // below this the value arc would only be a dot of its caps
constexpr float discOutlineThickness = 1.5f;
constexpr float pointerThickness = 2.4f;
constexpr float pointerInnerRadius = 0.30f; // as proportions of the disc radius
constexpr float pointerOuterRadius = 0.86f;

constexpr float tickBoxOutlineInset = 1.0f;
constexpr float tickBoxCornerSize = 3.0f;
constexpr float tickBoxOutlineThickness = 1.6f;
constexpr float crossInsetProportion = 0.3f; // of the box's width, used for the vertical inset too
constexpr float crossThickness = 1.8f;

constexpr float textFontHeight = 14.0f;

// Angles run clockwise from twelve o'clock, as JUCE's rotary sliders give them.
juce::Point<float> pointAt (juce::Point<float> centre, float distance, float angle)
{
    return { centre.x + distance * std::sin (angle), centre.y - distance * std::cos (angle) };
}

// The one font of every label, value box and combo box drawn with this style; made on each call
// because JUCE fonts are cheap handles to a shared typeface.
juce::Font makeTextFont()
{
#if JUCE_MAJOR_VERSION >= 8
    return juce::Font (
        juce::FontOptions (juce::Font::getDefaultMonospacedFontName(), textFontHeight, juce::Font::plain));
#else
    return juce::Font (juce::Font::getDefaultMonospacedFontName(), textFontHeight, juce::Font::plain);
#endif
}

juce::Path makeArc (juce::Point<float> centre, float radius, float fromAngle, float toAngle)
{
    juce::Path arc;
    arc.addCentredArc (centre.x, centre.y, radius, radius, 0.0f, fromAngle, toAngle, true);
    return arc;
}
} // namespace

QuartzineLookAndFeel::QuartzineLookAndFeel()
{
    setColour (juce::ResizableWindow::backgroundColourId, QuartzinePalette::windowBackground);
    setColour (juce::Label::textColourId, QuartzinePalette::labelText);
    setColour (juce::Slider::textBoxTextColourId, QuartzinePalette::valueBoxText);
    setColour (juce::Slider::textBoxBackgroundColourId, QuartzinePalette::valueBoxBackground);
    setColour (juce::Slider::textBoxOutlineColourId, QuartzinePalette::valueBoxOutline);
    setColour (juce::ToggleButton::textColourId, QuartzinePalette::labelText);
}

void QuartzineLookAndFeel::drawTickBox (
    juce::Graphics& g, juce::Component&, float x, float y, float w, float h, bool ticked, bool, bool, bool)
{
    const juce::Rectangle<float> box (x, y, w, h);

    g.setColour (ticked ? QuartzinePalette::tickBoxOutlineTicked : QuartzinePalette::tickBoxOutline);
    g.drawRoundedRectangle (box.reduced (tickBoxOutlineInset), tickBoxCornerSize, tickBoxOutlineThickness);

    if (! ticked)
        return;

    const auto cross = box.reduced (crossInsetProportion * w);
    g.setColour (QuartzinePalette::highlight);
    g.drawLine ({ cross.getTopLeft(), cross.getBottomRight() }, crossThickness);
    g.drawLine ({ cross.getBottomLeft(), cross.getTopRight() }, crossThickness);
}

juce::Font QuartzineLookAndFeel::getComboBoxFont (juce::ComboBox&) { return makeTextFont(); }

juce::Font QuartzineLookAndFeel::getLabelFont (juce::Label&) { return makeTextFont(); }

void QuartzineLookAndFeel::drawRotarySlider (juce::Graphics& g,
                                             int x,
                                             int y,
                                             int width,
                                             int height,
                                             float sliderPosProportional,
                                             float rotaryStartAngle,
                                             float rotaryEndAngle,
                                             juce::Slider&)
{
    const auto area = juce::Rectangle<int> (x, y, width, height).toFloat().reduced (knobAreaInset);
    const auto centre = area.getCentre();
    const float discRadius = juce::jmin (area.getWidth(), area.getHeight()) * 0.5f - discMargin;
    const float ringRadius = discRadius + ringGap;
    const float valueAngle = rotaryStartAngle + sliderPosProportional * (rotaryEndAngle - rotaryStartAngle);

    const juce::PathStrokeType arcStroke (arcThickness, juce::PathStrokeType::curved, juce::PathStrokeType::rounded);

    g.setColour (QuartzinePalette::knobTrack);
    g.strokePath (makeArc (centre, ringRadius, rotaryStartAngle, rotaryEndAngle), arcStroke);

    if (sliderPosProportional > minimumVisibleArc)
    {
        g.setColour (QuartzinePalette::highlight);
        g.strokePath (makeArc (centre, ringRadius, rotaryStartAngle, valueAngle), arcStroke);
    }

    const juce::Rectangle<float> disc (
        centre.x - discRadius, centre.y - discRadius, 2.0f * discRadius, 2.0f * discRadius);

    g.setGradientFill (juce::ColourGradient (QuartzinePalette::discTop,
                                             centre.x,
                                             centre.y - discRadius,
                                             QuartzinePalette::discBottom,
                                             centre.x,
                                             centre.y + discRadius,
                                             false));
    g.fillEllipse (disc);

    g.setColour (QuartzinePalette::discOutline);
    g.drawEllipse (disc, discOutlineThickness);

    g.setColour (QuartzinePalette::highlight);
    g.drawLine ({ pointAt (centre, pointerInnerRadius * discRadius, valueAngle),
                  pointAt (centre, pointerOuterRadius * discRadius, valueAngle) },
                pointerThickness);
}
