#include "EditorPixels.h"
#include "EditorProbe.h"
#include "VeldranoxReferenceRender.h"
#include "processor/VeldranoxAudioProcessor.h"

#include <gtest/gtest.h>
#include <map>
#include <vector>

// The editor as the Debian 12 build renders it (docs/editor.png, the picture the documentation shows) is what
// every build's render is held to, where it matters to a user: the background, the knobs and where each text
// sits. Text is drawn in each system's own fonts (Wine has no monospaced font of its own, for one), so for text
// only the place and size of its ink are compared, not its glyphs. Run on Linux, this also keeps the picture
// in the documentation current.
namespace
{
juce::Image referenceRender()
{
    return juce::ImageFileFormat::loadFrom (VeldranoxReferenceRender::editor_png,
                                            (size_t) VeldranoxReferenceRender::editor_pngSize);
}

struct Region
{
    std::string name;
    juce::Rectangle<int> area;
    juce::Justification justification = juce::Justification::centred;
};

// Where the editor draws text, in editor coordinates: the header's two labels, each knob's name and the box
// each knob shows its value in.
std::vector<Region> textRegions (VeldranoxAudioProcessorEditor& editor)
{
    std::vector<Region> regions;
    const auto add = [&] (const std::string& name, juce::Label& label) {
        regions.push_back (
            { name, editor.getLocalArea (&label, label.getLocalBounds()), label.getJustificationType() });
    };

    add ("titleLabel", EditorProbe::label (editor, "titleLabel"));
    add ("vendorLabel", EditorProbe::label (editor, "vendorLabel"));

    for (const auto& macro : macroTable)
    {
        const auto name = juce::String (macro.id).toLowerCase().toStdString();
        add (name + "Label", EditorProbe::label (editor, name + "Label"));

        auto* valueBox = EditorProbe::valueBox (EditorProbe::slider (editor, name + "Slider"));
        if (valueBox == nullptr)
            throw std::logic_error (name + "Slider shows no value box");
        add (name + " value", *valueBox);
    }

    return regions;
}

// Each knob's dial: its slider's area above the value box.
std::vector<Region> dialRegions (VeldranoxAudioProcessorEditor& editor)
{
    std::vector<Region> regions;

    for (const auto& macro : macroTable)
    {
        const auto name = juce::String (macro.id).toLowerCase().toStdString() + "Slider";
        auto& slider = EditorProbe::slider (editor, name);
        auto dial = editor.getLocalArea (&slider, slider.getLocalBounds());

        if (auto* valueBox = EditorProbe::valueBox (slider))
            dial = dial.withBottom (editor.getLocalArea (&slider, valueBox->getBounds()).getY());

        regions.push_back ({ name, dial });
    }

    return regions;
}

int channelDifference (juce::Colour a, juce::Colour b)
{
    return std::max ({ std::abs (a.getRed() - b.getRed()),
                       std::abs (a.getGreen() - b.getGreen()),
                       std::abs (a.getBlue() - b.getBlue()) });
}

// The colour most pixels of an area have: behind text, its background.
juce::Colour commonestColour (const juce::Image& image, juce::Rectangle<int> area)
{
    std::map<juce::uint32, int> counts;
    for (int y = area.getY(); y < area.getBottom(); ++y)
        for (int x = area.getX(); x < area.getRight(); ++x)
            ++counts[image.getPixelAt (x, y).getARGB()];

    const auto commonest =
        std::max_element (counts.begin(), counts.end(), [] (auto& a, auto& b) { return a.second < b.second; });
    return juce::Colour (commonest->first);
}

// The smallest rectangle holding every pixel of the area that stands out from its background as text does.
juce::Rectangle<int> inkBounds (const juce::Image& image, juce::Rectangle<int> area)
{
    const auto background = commonestColour (image, area);
    juce::Rectangle<int> ink;

    for (int y = area.getY(); y < area.getBottom(); ++y)
        for (int x = area.getX(); x < area.getRight(); ++x)
            if (EditorPixels::contrastRatio (image.getPixelAt (x, y), background) > 2.0)
                ink = ink.isEmpty() ? juce::Rectangle<int> (x, y, 1, 1)
                                    : ink.getUnion (juce::Rectangle<int> (x, y, 1, 1));

    return ink;
}

struct Difference
{
    int pixels = 0;
    int differing = 0; // pixels with a channel more than `tolerance` away
};

Difference compare (const juce::Image& render,
                    const juce::Image& reference,
                    juce::Rectangle<int> area,
                    int tolerance,
                    const std::vector<Region>& excluded = {})
{
    Difference difference;

    for (int y = area.getY(); y < area.getBottom(); ++y)
        for (int x = area.getX(); x < area.getRight(); ++x)
        {
            const auto isExcluded = std::any_of (
                excluded.begin(), excluded.end(), [x, y] (const Region& r) { return r.area.contains (x, y); });
            if (isExcluded)
                continue;

            ++difference.pixels;
            if (channelDifference (render.getPixelAt (x, y), reference.getPixelAt (x, y)) > tolerance)
                ++difference.differing;
        }

    return difference;
}

class EditorRender : public ::testing::Test
{
protected:
    VeldranoxAudioProcessor processor;
    VeldranoxAudioProcessorEditor editor { processor };
    juce::Image render = editor.createComponentSnapshot (editor.getLocalBounds(), true, 1.0f);
    juce::Image reference = referenceRender();
};
} // namespace

TEST_F (EditorRender, HasTheReferenceSize)
{
    ASSERT_TRUE (reference.isValid()) << "the reference render did not decode";
    EXPECT_EQ (render.getBounds(), reference.getBounds());
}

TEST_F (EditorRender, DrawsTheBackgroundAndTheKnobsAsTheReferenceDoes)
{
    ASSERT_EQ (render.getBounds(), reference.getBounds());

    // Where no child draws, the editor paints flat colours: they match exactly.
    const auto texts = textRegions (editor);
    const auto dials = dialRegions (editor);
    auto children = texts;
    children.insert (children.end(), dials.begin(), dials.end());
    const auto background = compare (render, reference, render.getBounds(), 0, children);
    EXPECT_GT (background.pixels, render.getWidth() * render.getHeight() / 2);
    EXPECT_EQ (background.differing, 0);

    // The dials are paths through the same renderer: anti-aliasing may round differently, nothing more.
    for (const auto& dial : dials)
    {
        const auto difference = compare (render, reference, dial.area, 24, texts);
        EXPECT_LE (difference.differing, difference.pixels / 200)
            << dial.name << ": " << difference.differing << " of " << difference.pixels << " pixels differ";
    }
}

TEST_F (EditorRender, PutsEveryTextWhereTheReferenceDoesAllowingForFonts)
{
    ASSERT_EQ (render.getBounds(), reference.getBounds());

    for (const auto& text : textRegions (editor))
    {
        const auto expected = inkBounds (reference, text.area);
        const auto actual = inkBounds (render, text.area);
        ASSERT_FALSE (expected.isEmpty()) << text.name << ": no text in the reference";
        ASSERT_FALSE (actual.isEmpty()) << text.name << ": no text drawn";

        SCOPED_TRACE (text.name + ": reference ink " + expected.toString().toStdString() + ", rendered ink " +
                      actual.toString().toStdString());

        // The same alignment: centred texts share a centre, left and right aligned ones an edge.
        EXPECT_NEAR (actual.getCentreY(), expected.getCentreY(), 1);
        if (text.justification.testFlags (juce::Justification::left))
            EXPECT_NEAR (actual.getX(), expected.getX(), 2);
        else if (text.justification.testFlags (juce::Justification::right))
            EXPECT_NEAR (actual.getRight(), expected.getRight(), 2);
        else
            EXPECT_NEAR (actual.getCentreX(), expected.getCentreX(), 3);

        // About the same size: another font's glyphs, not another font size.
        // (Wine draws the title 14 % wider than Debian's monospaced font; a 20 % larger font grows the ink
        // by two pixels in height.)
        EXPECT_NEAR (actual.getHeight(), expected.getHeight(), 1);
        EXPECT_GE (actual.getWidth() * 5, expected.getWidth() * 4);
        EXPECT_LE (actual.getWidth() * 4, expected.getWidth() * 5);
    }
}
