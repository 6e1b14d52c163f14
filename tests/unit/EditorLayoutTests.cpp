#include "EditorPixels.h"
#include "EditorProbe.h"
#include "processor/VeldranoxAudioProcessor.h"

#include <gtest/gtest.h>

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

    // The ten labels and knobs, and nothing else: no splash screen or resize corner of JUCE's.
    EXPECT_EQ (editor.getNumChildComponents(), (int) std::size (childNames));
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

TEST_F (EditorLayout, SmallerSizeRunsOutFromTheBottomUp)
{
    // 253 high leaves the top row whole, 5 of the 10 gap rows and nothing of the bottom row; columns
    // 100 wide are overhung by 6 pixels on each side.
    editor.setSize (332, 253);
    expectLayout ({
        { "titleLabel", { 16, 6, 200, 32 } },
        { "vendorLabel", { 216, 6, 100, 32 } },
        { "meltLabel", { 16, 58, 300, 22 } },
        { "meltSlider", { 85, 80, 162, 154 } },
        { "spaceLabel", { 16, 239, 100, 0 } },
        { "spaceSlider", { 10, 239, 112, 0 } },
        { "gritLabel", { 116, 239, 100, 0 } },
        { "gritSlider", { 110, 239, 112, 0 } },
        { "driftLabel", { 216, 239, 100, 0 } },
        { "driftSlider", { 210, 239, 112, 0 } },
    });

    // 30 high is less than the header band: every body row is empty, the knobs still 162 and 112 wide.
    editor.setSize (100, 30);
    expectLayout ({
        { "titleLabel", { 16, 6, 45, 18 } },
        { "vendorLabel", { 61, 6, 23, 18 } },
        { "meltLabel", { 16, 44, 68, 0 } },
        { "meltSlider", { -31, 44, 162, 0 } },
        { "spaceLabel", { 16, 44, 22, 0 } },
        { "spaceSlider", { -29, 44, 112, 0 } },
        { "gritLabel", { 38, 44, 22, 0 } },
        { "gritSlider", { -7, 44, 112, 0 } },
        { "driftLabel", { 60, 44, 24, 0 } },
        { "driftSlider", { 16, 44, 112, 0 } },
    });
}

TEST_F (EditorLayout, LargerSizeWidensTheLabelsAndLeavesTheExtraHeightEmpty)
{
    editor.setSize (600, 500);
    expectLayout ({
        { "titleLabel", { 16, 6, 378, 32 } },
        { "vendorLabel", { 394, 6, 190, 32 } },
        { "meltLabel", { 16, 58, 568, 22 } },
        { "meltSlider", { 219, 80, 162, 154 } },
        { "spaceLabel", { 16, 244, 189, 22 } },
        { "spaceSlider", { 54, 266, 112, 124 } },
        { "gritLabel", { 205, 244, 189, 22 } },
        { "gritSlider", { 243, 266, 112, 124 } },
        { "driftLabel", { 394, 244, 190, 22 } },
        { "driftSlider", { 433, 266, 112, 124 } },
    });
}

TEST_F (EditorLayout, NoSizeGivesANegativeExtentOrATallLabel)
{
    for (int width : { 0, 20, 31, 33, 250, 480, 1000 })
        for (int height : { 0, 5, 12, 43, 45, 71, 72, 100, 250, 404, 800 })
        {
            editor.setSize (width, height);

            for (auto* name : childNames)
            {
                const auto bounds = EditorProbe::child (editor, name).getBounds();
                SCOPED_TRACE (juce::String (name) + " at " + juce::String (width) + " x " + juce::String (height));
                EXPECT_GE (bounds.getWidth(), 0);
                EXPECT_GE (bounds.getHeight(), 0);
                EXPECT_LE (bounds.getBottom(), juce::jmax (height, 44 + 14));
            }

            for (auto* name : { "meltLabel", "spaceLabel", "gritLabel", "driftLabel" })
                EXPECT_LE (EditorProbe::child (editor, name).getHeight(), 22) << name;

            EXPECT_EQ (EditorProbe::child (editor, "meltSlider").getWidth(), 162);
            for (auto* name : { "spaceSlider", "gritSlider", "driftSlider" })
                EXPECT_EQ (EditorProbe::child (editor, name).getWidth(), 112) << name;
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
