#include "EditorPixels.h"
#include "EditorProbe.h"
#include "editor/QuartzineLookAndFeel.h"
#include "editor/QuartzinePalette.h"
#include "processor/VeldranoxAudioProcessor.h"

#include <cmath>
#include <gtest/gtest.h>

using EditorPixels::hasColourNear;
using EditorPixels::isClear;
using EditorPixels::makeClearImage;

namespace
{
const juce::Colour trackColour { 0xff38424f };
const juce::Colour highlightColour { 0xffe9e5d9 };
const juce::Colour discTopColour { 0xff3a4655 };
const juce::Colour discBottomColour { 0xff29323f };
const juce::Colour tickedOutlineColour { 0xff5f8b86 };
const juce::Colour untickedOutlineColour { 0xff3c4a58 };

// JUCE's default rotary range, which the editor's knobs keep.
constexpr float startAngle = 1.2f * juce::MathConstants<float>::pi;
constexpr float endAngle = 2.8f * juce::MathConstants<float>::pi;

struct KnobGeometry
{
    const char* name;
    int width, height;
    juce::Point<float> centre;
    float discRadius, ringRadius;
    juce::Point<float> pointerAtZero[2];
    juce::Point<float> pointerAtHalf[2];
};

// The knob areas the editor gives its sliders at 480 x 404.
const KnobGeometry knobs[] = {
    { "large",
      162,
      132,
      { 81.0f, 66.0f },
      56.0f,
      62.0f,
      { { 71.1f, 79.6f }, { 52.7f, 105.0f } },
      { { 81.0f, 49.2f }, { 81.0f, 17.8f } } },
    { "small",
      112,
      102,
      { 56.0f, 51.0f },
      41.0f,
      47.0f,
      { { 48.8f, 61.0f }, { 35.3f, 79.5f } },
      { { 56.0f, 38.7f }, { 56.0f, 15.7f } } },
};

juce::Point<float> onCircle (juce::Point<float> centre, float radius, float angle)
{
    return { centre.x + radius * std::sin (angle), centre.y - radius * std::cos (angle) };
}

juce::Image drawKnob (const KnobGeometry& knob, float position)
{
    QuartzineLookAndFeel lookAndFeel;
    juce::Slider slider;
    auto image = makeClearImage (knob.width, knob.height);
    juce::Graphics g (image);
    lookAndFeel.drawRotarySlider (g, 0, 0, knob.width, knob.height, position, startAngle, endAngle, slider);
    return image;
}

juce::Image drawTickBox (int width, int height, bool ticked)
{
    QuartzineLookAndFeel lookAndFeel;
    juce::ToggleButton button;
    auto image = makeClearImage (width, height);
    juce::Graphics g (image);
    lookAndFeel.drawTickBox (g, button, 0.0f, 0.0f, (float) width, (float) height, ticked, true, false, false);
    return image;
}

// Pixels of the highlight colour anywhere outside the disc (where only the value arc can put them).
int highlightPixelsOutsideDisc (const juce::Image& image, const KnobGeometry& knob)
{
    int count = 0;

    for (int y = 0; y < image.getHeight(); ++y)
        for (int x = 0; x < image.getWidth(); ++x)
            if (knob.centre.getDistanceFrom ({ x + 0.5f, y + 0.5f }) > knob.discRadius + 2.0f &&
                EditorPixels::matches (image.getPixelAt (x, y), highlightColour))
                ++count;

    return count;
}

// A point a little way in from a line end, where the line's colour is solid.
juce::Point<float> inFrom (juce::Point<float> end, juce::Point<float> otherEnd)
{
    return end + (otherEnd - end) / end.getDistanceFrom (otherEnd) * 1.5f;
}
} // namespace

TEST (LookAndFeelColours, TheEditorShowsThePaletteWhereAUserLooks)
{
    namespace Palette = QuartzinePalette;
    using EditorPixels::contrastRatio;
    using EditorPixels::inkIn;
    using EditorPixels::matches;

    // Body text against its ground, by the guidelines' minimum for body text.
    constexpr double readable = 4.5;

    VeldranoxAudioProcessor processor;
    VeldranoxAudioProcessorEditor editor { processor };
    const auto image = editor.createComponentSnapshot (editor.getLocalBounds());
    const auto& lookAndFeel = editor.getLookAndFeel();

    // The window's ground, and JUCE's own components asked for it, are the palette's background under its band.
    EXPECT_TRUE (matches (image.getPixelAt (8, 2), Palette::headerBand, 0));
    EXPECT_TRUE (matches (image.getPixelAt (8, editor.getHeight() - 2), Palette::windowBackground, 0));
    EXPECT_EQ (lookAndFeel.findColour (juce::ResizableWindow::backgroundColourId), Palette::windowBackground);

    // The header's dark text on the mid-tone band reaches about 4.3 : 1, so it is held to the 3 : 1 floor
    // for any text rather than to the body text's minimum.
    for (auto* name : { "titleLabel", "vendorLabel" })
    {
        const auto ink = inkIn (image, EditorProbe::child (editor, name).getBounds(), Palette::headerBand);
        EXPECT_TRUE (matches (ink, Palette::headerText)) << name;
        EXPECT_GE (contrastRatio (ink, Palette::headerBand), 3.0) << name;
    }

    for (auto* name : { "meltLabel", "spaceLabel", "gritLabel", "driftLabel" })
    {
        const auto ink = inkIn (image, EditorProbe::child (editor, name).getBounds(), Palette::windowBackground);
        EXPECT_TRUE (matches (ink, Palette::labelText)) << name;
        EXPECT_GE (contrastRatio (ink, Palette::windowBackground), readable) << name;
    }

    for (auto* name : { "meltSlider", "spaceSlider", "gritSlider", "driftSlider" })
    {
        auto& slider = EditorProbe::slider (editor, name);
        auto* box = EditorProbe::valueBox (slider);
        ASSERT_NE (box, nullptr) << name;
        const auto area = editor.getLocalArea (box, box->getLocalBounds());

        // The box stands out from the window as a filled field with no outline: its edge is its fill.
        const auto fill = image.getPixelAt (area.getX() + 2, area.getCentreY());
        EXPECT_TRUE (matches (fill, Palette::valueBoxBackground, 0)) << name;
        EXPECT_NE (fill, image.getPixelAt (area.getX() - 1, area.getCentreY())) << name;
        EXPECT_EQ (image.getPixelAt (area.getX(), area.getY()), fill) << name;
        EXPECT_EQ (image.getPixelAt (area.getRight() - 1, area.getBottom() - 1), fill) << name;

        const auto ink = inkIn (image, area, fill);
        EXPECT_TRUE (matches (ink, Palette::valueBoxText)) << name;
        EXPECT_GE (contrastRatio (ink, fill), readable) << name;
    }

    // A label, toggle or value box added later with no colours of its own reads like those above.
    const auto renderAlone = [&editor] (juce::Component& component, int height)
    {
        component.setLookAndFeel (&editor.getLookAndFeel());
        component.setSize (80, height);
        auto alone = EditorPixels::makeClearImage (80, height);
        {
            juce::Graphics g (alone);
            g.fillAll (Palette::windowBackground);
            component.paintEntireComponent (g, false);
        }
        component.setLookAndFeel (nullptr);
        return alone;
    };

    juce::Label label ({}, "MIX");
    juce::ToggleButton toggle ("ON");
    for (juce::Component* component : { (juce::Component*) &label, (juce::Component*) &toggle })
    {
        const auto alone = renderAlone (*component, 24);
        EXPECT_TRUE (matches (inkIn (alone, alone.getBounds(), Palette::windowBackground), Palette::labelText))
            << component->getName();
    }

    juce::Slider slider (juce::Slider::RotaryVerticalDrag, juce::Slider::TextBoxBelow);
    const auto alone = renderAlone (slider, 80);
    auto* box = EditorProbe::valueBox (slider);
    ASSERT_NE (box, nullptr);
    const auto area = box->getBounds();
    const auto fill = alone.getPixelAt (area.getX() + 2, area.getCentreY());
    EXPECT_TRUE (matches (fill, Palette::valueBoxBackground, 0));
    EXPECT_EQ (alone.getPixelAt (area.getX(), area.getY()), fill) << "no outline";
    EXPECT_TRUE (matches (inkIn (alone, area, fill), Palette::valueBoxText));

    // Everything else is LookAndFeel_V4's dark scheme.
    juce::LookAndFeel_V4 base;
    for (int colourId : { (int) juce::TextEditor::highlightColourId, (int) juce::PopupMenu::backgroundColourId })
        EXPECT_EQ (lookAndFeel.findColour (colourId).getARGB(), base.findColour (colourId).getARGB());
}

TEST (LookAndFeelKnob, ValueArcStandsOutFromTheTrackItCovers)
{
    const auto& knob = knobs[0];
    const auto image = drawKnob (knob, 0.5f);
    const auto onArc = [&] (float anglePi)
    {
        // The most solidly covered pixel at that point of the ring: its edges are anti-aliased.
        const auto p = onCircle (knob.centre, knob.ringRadius, anglePi * juce::MathConstants<float>::pi).toInt();
        auto solid = image.getPixelAt (p.x, p.y);
        for (int y = p.y - 2; y <= p.y + 2; ++y)
            for (int x = p.x - 2; x <= p.x + 2; ++x)
                if (image.getPixelAt (x, y).getAlpha() > solid.getAlpha())
                    solid = image.getPixelAt (x, y);
        EXPECT_EQ (solid.getAlpha(), 255) << anglePi << " pi";
        return solid;
    };

    // The guidelines' 3 : 1 for the parts of a control a user must tell apart.
    EXPECT_GE (EditorPixels::contrastRatio (onArc (1.6f), onArc (2.4f)), 3.0);
}

TEST (LookAndFeelFonts, LabelsAndComboBoxesShareOneMonospacedFontWhateverTheirOwn)
{
    QuartzineLookAndFeel lookAndFeel;

    juce::Label label;
    label.setFont (label.getFont().withHeight (30.0f).boldened());
    juce::ComboBox box;

    for (const auto& font : { lookAndFeel.getLabelFont (label), lookAndFeel.getComboBoxFont (box) })
    {
        EXPECT_EQ (font.getTypefaceName(), juce::Font::getDefaultMonospacedFontName());
        EXPECT_FLOAT_EQ (font.getHeight(), 14.0f);
        EXPECT_EQ (font.getStyleFlags(), juce::Font::plain);
    }
}

TEST (LookAndFeelKnob, DiscSitsInsideTheRingWithATrackAroundTheWholeRange)
{
    for (const auto& knob : knobs)
    {
        SCOPED_TRACE (knob.name);
        const auto image = drawKnob (knob, 0.0f);
        const auto& c = knob.centre;

        // Lighter at the top than at the bottom; clear in the gap between the disc and the ring.
        EXPECT_TRUE (hasColourNear (image, { c.x, c.y - knob.discRadius + 3.0f }, discTopColour, 1.0f, 3));
        EXPECT_TRUE (hasColourNear (image, { c.x, c.y + knob.discRadius - 3.0f }, discBottomColour, 1.0f, 3));
        EXPECT_TRUE (isClear (image.getPixelAt ((int) c.x, (int) (c.y + knob.discRadius + 3.0f))));

        for (float angle : { 1.3f, 1.6f, 2.0f, 2.4f, 2.7f })
            EXPECT_TRUE (hasColourNear (
                image, onCircle (c, knob.ringRadius, angle * juce::MathConstants<float>::pi), trackColour))
                << "track at " << angle << " pi";

        // Outside the rotary range and outside the ring there is nothing.
        EXPECT_TRUE (isClear (image.getPixelAt ((int) c.x, (int) (c.y + knob.ringRadius))));
        EXPECT_TRUE (isClear (image.getPixelAt ((int) c.x, (int) (c.y - knob.ringRadius - 3.0f))));
    }
}

TEST (LookAndFeelKnob, PointerRunsFromThirtyToEightySixPercentOfTheRadius)
{
    for (const auto& knob : knobs)
    {
        const struct
        {
            float position;
            const juce::Point<float>* drawn;
            const juce::Point<float>* notDrawn;
        } cases[] = { { 0.0f, knob.pointerAtZero, knob.pointerAtHalf },
                      { 0.5f, knob.pointerAtHalf, knob.pointerAtZero } };

        for (const auto& pointer : cases)
        {
            SCOPED_TRACE (juce::String (knob.name) + " at " + juce::String (pointer.position));
            const auto image = drawKnob (knob, pointer.position);
            const auto inner = pointer.drawn[0];
            const auto outer = pointer.drawn[1];

            EXPECT_TRUE (hasColourNear (image, inFrom (inner, outer), highlightColour));
            EXPECT_TRUE (hasColourNear (image, inFrom (outer, inner), highlightColour));
            EXPECT_FALSE (hasColourNear (image, inFrom (pointer.notDrawn[1], pointer.notDrawn[0]), highlightColour));
            EXPECT_FALSE (hasColourNear (image, knob.centre, highlightColour, 2.0f)) << "the pointer starts off-centre";
        }
    }
}

TEST (LookAndFeelKnob, ValueArcFollowsThePositionAndVanishesAtTheStart)
{
    const auto& knob = knobs[0];
    const auto startPoint = onCircle (knob.centre, knob.ringRadius, startAngle);

    const struct
    {
        float position;
        bool arcDrawn;
    } cases[] = { { 0.0f, false }, { 0.0009f, false }, { 0.002f, true }, { 0.5f, true }, { 1.0f, true } };

    for (const auto& row : cases)
    {
        SCOPED_TRACE (row.position);
        const auto image = drawKnob (knob, row.position);
        EXPECT_EQ (highlightPixelsOutsideDisc (image, knob) > 0, row.arcDrawn);

        if (row.arcDrawn)
        {
            EXPECT_TRUE (hasColourNear (image, startPoint, highlightColour)) << "the arc starts at the start angle";
        }
    }

    // Halfway the arc reaches twelve o'clock and the track shows beyond it; at the end it covers the track.
    const struct
    {
        float position, anglePi;
        juce::Colour expected;
    } ring[] = { { 0.5f, 1.6f, highlightColour },
                 { 0.5f, 2.4f, trackColour },
                 { 1.0f, 1.6f, highlightColour },
                 { 1.0f, 2.4f, highlightColour },
                 { 1.0f, 2.75f, highlightColour } };

    for (const auto& row : ring)
        EXPECT_TRUE (
            hasColourNear (drawKnob (knob, row.position),
                           onCircle (knob.centre, knob.ringRadius, row.anglePi * juce::MathConstants<float>::pi),
                           row.expected))
            << "position " << row.position << ", " << row.anglePi << " pi";
}

TEST (LookAndFeelTickBox, OutlineColourShowsTheState)
{
    for (bool ticked : { false, true })
    {
        const auto image = drawTickBox (40, 40, ticked);
        const auto outline = ticked ? tickedOutlineColour : untickedOutlineColour;

        EXPECT_TRUE (hasColourNear (image, { 1.0f, 20.0f }, outline)) << ticked;
        EXPECT_TRUE (hasColourNear (image, { 20.0f, 39.0f }, outline)) << ticked;
        EXPECT_EQ (hasColourNear (image, { 20.0f, 20.0f }, highlightColour), ticked) << "cross only when ticked";
        EXPECT_TRUE (isClear (image.getPixelAt (20, 6))) << "the box is not filled";
    }
}

TEST (LookAndFeelTickBox, CrossIsInsetByThirtyPercentOfTheWidth)
{
    const struct
    {
        const char* name;
        int width, height;
        std::vector<juce::Point<float>> onCross, offCross;
    } boxes[] = {
        // A square box: the cross's corners at 12 and 28.
        { "square",
          40,
          40,
          { { 13, 13 }, { 27, 27 }, { 13, 27 }, { 27, 13 }, { 20, 20 } },
          { { 20, 13 }, { 13, 20 }, { 8, 8 }, { 32, 32 } } },
        // 40 x 30: inset 12 on every side, so the cross spans 16 x 6.
        { "flatter",
          40,
          30,
          { { 13, 12.5f }, { 27, 17.5f }, { 13, 17.5f }, { 27, 12.5f } },
          { { 9, 9 }, { 31, 21 }, { 20, 9 } } },
        // 60 x 30: less than 60 % as high as wide, so both lines lie along y = 18.
        { "flat", 60, 30, { { 20, 18 }, { 30, 18 }, { 40, 18 } }, { { 21, 10 }, { 39, 10 }, { 30, 24 }, { 30, 12 } } },
    };

    for (const auto& box : boxes)
    {
        SCOPED_TRACE (box.name);
        const auto image = drawTickBox (box.width, box.height, true);

        for (auto p : box.onCross)
            EXPECT_TRUE (hasColourNear (image, p, highlightColour)) << p.toString();

        for (auto p : box.offCross)
            EXPECT_FALSE (hasColourNear (image, p, highlightColour)) << p.toString();
    }
}
