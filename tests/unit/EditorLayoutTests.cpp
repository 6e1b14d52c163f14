#include "EditorPixels.h"
#include "EditorProbe.h"
#include "processor/VeldranoxAudioProcessor.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <map>

namespace
{
struct Placement
{
    const char* child;
    juce::Rectangle<int> bounds;
};

const char* const childNames[] = { "titleLabel", "vendorLabel", "meltLabel",   "spaceLabel", "gritLabel",
                                   "driftLabel", "meltSlider",  "spaceSlider", "gritSlider", "driftSlider" };

class EditorLayout : public ::testing::Test
{
protected:
    void expectLayout (const std::vector<Placement>& table)
    {
        for (const auto& row : table)
            EXPECT_EQ (EditorProbe::child (editor, row.child).getBounds(), row.bounds) << row.child;
    }

    VeldranoxAudioProcessor processor;
    VeldranoxAudioProcessorEditor editor { processor };
};
} // namespace

TEST_F (EditorLayout, OpensAtItsFixedSizeAndCannotBeResized)
{
    EXPECT_EQ (editor.getWidth(), 480);
    EXPECT_EQ (editor.getHeight(), 404);
    EXPECT_FALSE (editor.isResizable());

    // The header's two labels and each macro's name and knob, and nothing else: no splash screen or resize
    // corner of JUCE's.
    EXPECT_EQ (editor.getNumChildComponents(), 2 + 2 * (int) numMacros);
}

TEST_F (EditorLayout, BoundsAtTheWindowSize)
{
    expectLayout ({
        { "titleLabel", { 16, 6, 298, 32 } },
        { "vendorLabel", { 314, 6, 150, 32 } },
        { "meltLabel", { 16, 58, 448, 22 } },
        { "meltSlider", { 159, 80, 162, 154 } },
        { "spaceLabel", { 16, 244, 149, 22 } },
        { "spaceSlider", { 34, 266, 112, 124 } },
        { "gritLabel", { 165, 244, 149, 22 } },
        { "gritSlider", { 183, 266, 112, 124 } },
        { "driftLabel", { 314, 244, 150, 22 } },
        { "driftSlider", { 333, 266, 112, 124 } },
    });
}

TEST_F (EditorLayout, ValueBoxSitsBelowEachKnob)
{
    const struct
    {
        const char* slider;
        juce::Rectangle<int> valueBox;
    } table[] = {
        { "meltSlider", { 42, 132, 78, 22 } },
        { "spaceSlider", { 17, 102, 78, 22 } },
        { "gritSlider", { 17, 102, 78, 22 } },
        { "driftSlider", { 17, 102, 78, 22 } },
    };

    for (const auto& row : table)
    {
        auto* box = EditorProbe::valueBox (EditorProbe::slider (editor, row.slider));
        ASSERT_NE (box, nullptr) << row.slider;
        EXPECT_EQ (box->getBounds(), row.valueBox) << row.slider;
    }
}

namespace
{
// The window never offers a resize, but a host may still force a size on it; whatever it forces, the layout
// must degrade sensibly. These sizes run through the real one, below what its content needs, and beyond.
const int sweepWidths[] = { 0, 20, 31, 33, 250, 332, 368, 479, 480, 481, 600, 1000 };
const int sweepHeights[] = { 0, 5, 12, 30, 43, 45, 57, 58, 71, 72, 100, 250, 253, 403, 404, 405, 500, 800 };

// A window shorter than the header band and the body's inset still parks the empty body rows at the inset.
constexpr int bodyTop = 44 + 14;

const struct
{
    const char* label;
    const char* knob;
} knobRows[] = {
    { "meltLabel", "meltSlider" },
    { "spaceLabel", "spaceSlider" },
    { "gritLabel", "gritSlider" },
    { "driftLabel", "driftSlider" },
};

juce::String sizeName (int width, int height) { return juce::String (width) + " x " + juce::String (height); }
} // namespace

TEST_F (EditorLayout, NoSizeGivesANegativeExtentOrATallLabel)
{
    for (int width : sweepWidths)
        for (int height : sweepHeights)
        {
            editor.setSize (width, height);
            SCOPED_TRACE (sizeName (width, height));

            for (auto* name : childNames)
            {
                const auto bounds = EditorProbe::child (editor, name).getBounds();
                EXPECT_GE (bounds.getWidth(), 0) << name;
                EXPECT_GE (bounds.getHeight(), 0) << name;
                EXPECT_LE (bounds.getBottom(), juce::jmax (height, bodyTop)) << name;

                // Whatever shows of a child lies within the window's height.
                if (! bounds.isEmpty())
                {
                    EXPECT_LE (bounds.getBottom(), height) << name;
                }
            }

            for (const auto& row : knobRows)
                EXPECT_LE (EditorProbe::child (editor, row.label).getHeight(), 22) << row.label;
        }
}

TEST_F (EditorLayout, EachNameSitsDirectlyAboveItsKnobAtEverySize)
{
    for (int width : sweepWidths)
        for (int height : sweepHeights)
        {
            editor.setSize (width, height);
            SCOPED_TRACE (sizeName (width, height));

            for (const auto& row : knobRows)
            {
                const auto label = EditorProbe::child (editor, row.label).getBounds();
                const auto knob = EditorProbe::child (editor, row.knob).getBounds();
                EXPECT_EQ (label.getBottom(), knob.getY()) << row.knob;
                EXPECT_NEAR (label.getCentreX(), knob.getCentreX(), 1) << row.knob;
            }
        }
}

TEST_F (EditorLayout, KnobsKeepTheirWidthAtEverySizeAndASquareishAreaWhenTheyFit)
{
    std::map<juce::String, juce::Rectangle<int>> atWindowSize;
    for (const auto& row : knobRows)
        atWindowSize[row.knob] = EditorProbe::child (editor, row.knob).getBounds();

    // MELT is the large knob; the three below it share one smaller size.
    EXPECT_GT (atWindowSize["meltSlider"].getWidth(), atWindowSize["spaceSlider"].getWidth());
    for (auto* name : { "gritSlider", "driftSlider" })
        EXPECT_EQ (atWindowSize[name].getWidth(), atWindowSize["spaceSlider"].getWidth()) << name;

    for (int width : sweepWidths)
        for (int height : sweepHeights)
        {
            editor.setSize (width, height);
            SCOPED_TRACE (sizeName (width, height));

            for (const auto& row : knobRows)
            {
                // A narrow window overhangs a knob past its column rather than squeezing its dial.
                const auto knob = EditorProbe::child (editor, row.knob).getBounds();
                EXPECT_EQ (knob.getWidth(), atWindowSize[row.knob].getWidth()) << row.knob;

                if (height >= 404)
                {
                    const auto aspect = (double) knob.getWidth() / knob.getHeight();
                    EXPECT_GE (aspect, 0.8) << row.knob;
                    EXPECT_LE (aspect, 1.25) << row.knob;
                }
            }
        }
}

TEST_F (EditorLayout, NoChildOverlapsAnotherWhereTheColumnsHoldTheirKnobs)
{
    const int smallKnobWidth = EditorProbe::child (editor, "spaceSlider").getWidth();
    const int narrowestWidth = 2 * 16 + 3 * smallKnobWidth;

    for (int width : sweepWidths)
        for (int height : sweepHeights)
        {
            if (width < narrowestWidth)
                continue;

            editor.setSize (width, height);
            SCOPED_TRACE (sizeName (width, height));

            for (auto* a : childNames)
                for (auto* b : childNames)
                {
                    if (a == b)
                        continue;
                    const auto boundsA = EditorProbe::child (editor, a).getBounds();
                    const auto boundsB = EditorProbe::child (editor, b).getBounds();
                    EXPECT_FALSE (boundsA.intersects (boundsB)) << a << " and " << b;
                }

            if (height >= 404)
            {
                for (auto* name : childNames)
                    EXPECT_TRUE (editor.getLocalBounds().contains (EditorProbe::child (editor, name).getBounds()))
                        << name;
            }
        }
}

TEST_F (EditorLayout, ShorterWindowRunsOutFromTheBottomUp)
{
    std::map<juce::String, juce::Rectangle<int>> whole;
    for (auto* name : childNames)
        whole[name] = EditorProbe::child (editor, name).getBounds();

    for (int height : sweepHeights)
    {
        if (height > 404)
            continue;

        editor.setSize (480, height);
        SCOPED_TRACE (sizeName (480, height));

        for (auto* upper : childNames)
        {
            const auto bounds = EditorProbe::child (editor, upper).getBounds();

            // A child is whole or squeezed; it never moves down or sideways.
            EXPECT_EQ (bounds.getX(), whole[upper].getX()) << upper;
            EXPECT_EQ (bounds.getWidth(), whole[upper].getWidth()) << upper;
            EXPECT_LE (bounds.getY(), whole[upper].getY()) << upper;

            if (bounds == whole[upper])
                continue;

            // Only once everything below a child has run out does the child itself give way.
            for (auto* lower : childNames)
                if (whole[lower].getY() >= whole[upper].getBottom())
                {
                    EXPECT_EQ (EditorProbe::child (editor, lower).getHeight(), 0) << upper << " over " << lower;
                }
        }
    }

    // A window just tall enough for the top row keeps MELT whole and leaves none of the bottom row.
    editor.setSize (480, whole["meltSlider"].getBottom() + 14);
    EXPECT_EQ (EditorProbe::child (editor, "meltSlider").getBounds(), whole["meltSlider"]);
    for (auto* name : { "spaceSlider", "gritSlider", "driftSlider" })
        EXPECT_EQ (EditorProbe::child (editor, name).getHeight(), 0) << name;
}

TEST_F (EditorLayout, LargerWindowWidensTheLabelsAndLeavesTheExtraHeightEmpty)
{
    std::map<juce::String, juce::Rectangle<int>> atWindowSize;
    for (auto* name : childNames)
        atWindowSize[name] = EditorProbe::child (editor, name).getBounds();

    for (int width : { 480, 600, 1000 })
        for (int height : { 404, 405, 500, 800 })
        {
            editor.setSize (width, height);
            SCOPED_TRACE (sizeName (width, height));

            for (auto* name : childNames)
            {
                const auto bounds = EditorProbe::child (editor, name).getBounds();
                EXPECT_EQ (bounds.getY(), atWindowSize[name].getY()) << name;
                EXPECT_EQ (bounds.getHeight(), atWindowSize[name].getHeight()) << name;

                if (width > 480 && juce::String (name).endsWith ("Label"))
                {
                    EXPECT_GT (bounds.getWidth(), atWindowSize[name].getWidth()) << name;
                }
            }

            // The names span the window between equal margins: MELT alone, the header and the bottom row as
            // side-by-side pieces.
            const auto melt = EditorProbe::child (editor, "meltLabel").getBounds();
            EXPECT_EQ (melt.getX(), width - melt.getRight());

            const auto title = EditorProbe::child (editor, "titleLabel").getBounds();
            const auto vendor = EditorProbe::child (editor, "vendorLabel").getBounds();
            EXPECT_EQ (title.getX(), melt.getX());
            EXPECT_EQ (title.getRight(), vendor.getX());
            EXPECT_EQ (vendor.getRight(), melt.getRight());

            const auto space = EditorProbe::child (editor, "spaceLabel").getBounds();
            const auto grit = EditorProbe::child (editor, "gritLabel").getBounds();
            const auto drift = EditorProbe::child (editor, "driftLabel").getBounds();
            EXPECT_EQ (space.getX(), melt.getX());
            EXPECT_EQ (space.getRight(), grit.getX());
            EXPECT_EQ (grit.getRight(), drift.getX());
            EXPECT_EQ (drift.getRight(), melt.getRight());
            EXPECT_LE (std::abs (space.getWidth() - drift.getWidth()), 2);
        }
}

TEST_F (EditorLayout, LabelsCarryTheirTextColourAndPlacement)
{
    const juce::Colour onBand { 0xff16202b };
    const juce::Colour onBody { 0xffd8dde2 };

    const struct
    {
        const char* label;
        const char* text;
        juce::Colour colour;
        juce::Justification justification;
    } table[] = {
        { "titleLabel", "VELDRANOX", onBand, juce::Justification::centredLeft },
        { "vendorLabel", "YRVEN", onBand, juce::Justification::centredRight },
        { "meltLabel", "MELT", onBody, juce::Justification::centred },
        { "spaceLabel", "SPACE", onBody, juce::Justification::centred },
        { "gritLabel", "GRIT", onBody, juce::Justification::centred },
        { "driftLabel", "DRIFT", onBody, juce::Justification::centred },
    };

    for (const auto& row : table)
    {
        auto& label = EditorProbe::label (editor, row.label);
        EXPECT_EQ (label.getText(), row.text);
        EXPECT_EQ (label.findColour (juce::Label::textColourId).getARGB(), row.colour.getARGB()) << row.label;
        EXPECT_EQ (label.getJustificationType(), row.justification) << row.label;
        EXPECT_EQ (label.getBorderSize(), juce::BorderSize<int> (0)) << row.label;
        EXPECT_FALSE (label.isEditable()) << row.label;
        EXPECT_TRUE (label.isVisible()) << row.label;
        EXPECT_EQ (&label.getLookAndFeel(), &editor.getLookAndFeel()) << row.label;
    }
}

TEST_F (EditorLayout, PaintsTheBackgroundUnderATealHeaderBand)
{
    const juce::Colour band { 0xff5f8b86 };
    const juce::Colour background { 0xff1a222e };

    const struct
    {
        int width, height;
        int bandHeight;
    } sizes[] = { { 480, 404, 44 }, { 600, 500, 44 }, { 200, 30, 30 } };

    for (const auto& size : sizes)
    {
        editor.setSize (size.width, size.height);
        const auto image = editor.createComponentSnapshot (editor.getLocalBounds());
        SCOPED_TRACE (juce::String (size.width) + " x " + juce::String (size.height));

        // Left of the title and right of the vendor only the band shows.
        for (int x : { 0, 8, size.width - 8, size.width - 1 })
        {
            EXPECT_TRUE (EditorPixels::matches (image.getPixelAt (x, 0), band, 0)) << x;
            EXPECT_TRUE (EditorPixels::matches (image.getPixelAt (x, size.bandHeight - 1), band, 0)) << x;
        }

        if (size.height > size.bandHeight)
        {
            EXPECT_TRUE (EditorPixels::matches (image.getPixelAt (8, size.bandHeight), background, 0));
            EXPECT_TRUE (EditorPixels::matches (image.getPixelAt (size.width - 8, size.height - 1), background, 0));
        }
    }
}
