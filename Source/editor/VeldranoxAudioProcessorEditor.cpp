#include "editor/VeldranoxAudioProcessorEditor.h"

#include "editor/QuartzinePalette.h"
#include "processor/VeldranoxAudioProcessor.h"

#include <algorithm>

namespace
{
constexpr int editorWidth = 480;
constexpr int editorHeight = 404;

constexpr int headerHeight = 44;
constexpr int headerInsetX = 16;
constexpr int headerInsetY = 6;

constexpr int bodyInsetX = 16;
constexpr int bodyInsetY = 14;
constexpr int topRowHeight = 176;
constexpr int rowGap = 10;
constexpr int bottomRowHeight = 146;
constexpr int knobLabelHeight = 22;

// Knobs keep these widths whatever their row or column: a narrower column is overhung on both sides.
constexpr int largeKnobWidth = 162;
constexpr int smallKnobWidth = 112;

constexpr int valueBoxWidth = 78;
constexpr int valueBoxHeight = 22;

// Where each macro's knob sits: the large MELT alone on the top row, then SPACE, GRIT and DRIFT in the
// bottom row's columns, left to right. Also the order the knobs are made in.
enum Row : std::size_t
{
    topRow,
    bottomRow,
    numRows
};

struct KnobPlace
{
    MacroIndex macro;
    Row row;
};

constexpr std::array<KnobPlace, numMacros> knobPlaces { {
    { macroMelt, topRow },
    { macroSpace, bottomRow },
    { macroGrit, bottomRow },
    { macroDrift, bottomRow },
} };

constexpr bool everyMacroHasOnePlace()
{
    for (std::size_t k = 0; k < numMacros; ++k)
    {
        int places = 0;

        for (const auto& place : knobPlaces)
            places += place.macro == k ? 1 : 0;

        if (places != 1)
            return false;
    }

    return true;
}

static_assert (everyMacroHasOnePlace(), "each row of the macro table needs one place in the layout");

int knobsInRow (std::size_t row)
{
    return (int) std::count_if (
        knobPlaces.begin(), knobPlaces.end(), [row] (const KnobPlace& place) { return place.row == row; });
}

juce::Rectangle<int> centredSlice (juce::Rectangle<int> area, int width)
{
    return { area.getX() + (area.getWidth() - width) / 2, area.getY(), width, area.getHeight() };
}

// The name on top, the knob below it, centred at its own width even where that overhangs the area.
void placeKnob (juce::Rectangle<int> area, juce::Label& label, juce::Slider& slider, int knobWidth)
{
    label.setBounds (area.removeFromTop (knobLabelHeight));
    slider.setBounds (centredSlice (area, knobWidth));
}

juce::Font makeHeaderFont (float height)
{
#if JUCE_MAJOR_VERSION >= 8
    return juce::Font (juce::FontOptions (juce::Font::getDefaultMonospacedFontName(), height, juce::Font::bold));
#else
    return juce::Font (juce::Font::getDefaultMonospacedFontName(), height, juce::Font::bold);
#endif
}

void setupHeaderLabel (juce::Label& label, const juce::String& text, juce::Justification justification)
{
    label.setText (text, juce::dontSendNotification);
    label.setColour (juce::Label::textColourId, QuartzinePalette::headerText);
    label.setJustificationType (justification);
    label.setBorderSize ({ 0, 0, 0, 0 });
}
} // namespace

VeldranoxAudioProcessorEditor::VeldranoxAudioProcessorEditor (VeldranoxAudioProcessor& owner)
    : juce::AudioProcessorEditor (owner), audioProcessor (owner)
{
    setLookAndFeel (&editorLookAndFeel);

    // The header labels carry bold fonts of their own, but QuartzineLookAndFeel draws every label in its
    // one 14-high monospaced face: the header reads in the same quiet type as the knob names, and the
    // teal band alone sets it apart.
    setupHeaderLabel (titleLabel, "VELDRANOX", juce::Justification::centredLeft);
    titleLabel.setFont (makeHeaderFont (22.0f));
    addAndMakeVisible (titleLabel);

    setupHeaderLabel (vendorLabel, "YRVEN", juce::Justification::centredRight);
    vendorLabel.setFont (makeHeaderFont (13.0f));
    addAndMakeVisible (vendorLabel);

    // The names, then the knobs, then the attachments, each in the layout's order.
    for (const auto& place : knobPlaces)
        setupKnobLabel (knobs[place.macro].label, juce::String (macroTable[place.macro].name).toUpperCase());

    for (const auto& place : knobPlaces)
        setupKnob (knobs[place.macro].slider);

    for (const auto& place : knobPlaces)
        knobs[place.macro].attachment = std::make_unique<SliderAttachment> (
            audioProcessor.parameters, macroTable[place.macro].id, knobs[place.macro].slider);

    // Last: this lays out the children, which needs everything above in place.
    setSize (editorWidth, editorHeight);
}

VeldranoxAudioProcessorEditor::~VeldranoxAudioProcessorEditor()
{
    // No child may still point at the look-and-feel while the members are torn down.
    setLookAndFeel (nullptr);
}

void VeldranoxAudioProcessorEditor::paint (juce::Graphics& g)
{
    g.fillAll (QuartzinePalette::windowBackground);

    g.setColour (QuartzinePalette::headerBand);
    g.fillRect (0, 0, getWidth(), juce::jmin (headerHeight, getHeight()));
}

void VeldranoxAudioProcessorEditor::resized()
{
    auto body = getLocalBounds();

    auto header = body.removeFromTop (headerHeight).reduced (headerInsetX, headerInsetY);
    titleLabel.setBounds (header.removeFromLeft (2 * header.getWidth() / 3));
    vendorLabel.setBounds (header);

    body.reduce (bodyInsetX, bodyInsetY);

    std::array<juce::Rectangle<int>, numRows> rows;
    rows[topRow] = body.removeFromTop (topRowHeight);
    body.removeFromTop (rowGap);
    rows[bottomRow] = body.removeFromTop (bottomRowHeight);

    // Each row's knobs in equal columns, left to right; the last column takes the remainder.
    std::array<int, numRows> columnWidths {}, columnsLeft {};

    for (size_t row = 0; row < numRows; ++row)
    {
        columnsLeft[row] = knobsInRow (row);
        columnWidths[row] = rows[row].getWidth() / std::max (1, columnsLeft[row]);
    }

    for (const auto& place : knobPlaces)
    {
        auto& knob = knobs[place.macro];
        auto& row = rows[place.row];
        const auto cell = --columnsLeft[place.row] > 0 ? row.removeFromLeft (columnWidths[place.row]) : row;
        placeKnob (cell, knob.label, knob.slider, place.row == topRow ? largeKnobWidth : smallKnobWidth);
    }
}

void VeldranoxAudioProcessorEditor::setupKnobLabel (juce::Label& label, const juce::String& text)
{
    label.setText (text, juce::dontSendNotification);
    label.setColour (juce::Label::textColourId, QuartzinePalette::labelText);
    label.setJustificationType (juce::Justification::centred);
    label.setBorderSize ({ 0, 0, 0, 0 });
    addAndMakeVisible (label);
}

void VeldranoxAudioProcessorEditor::setupKnob (juce::Slider& slider)
{
    slider.setSliderStyle (juce::Slider::RotaryVerticalDrag);
    slider.setTextBoxStyle (juce::Slider::TextBoxBelow, false, valueBoxWidth, valueBoxHeight);
    slider.setNumDecimalPlacesToDisplay (0);
    slider.setTextValueSuffix (" %");
    slider.setColour (juce::Slider::textBoxTextColourId, QuartzinePalette::valueBoxText);
    slider.setColour (juce::Slider::textBoxBackgroundColourId, QuartzinePalette::valueBoxBackground);
    slider.setColour (juce::Slider::textBoxOutlineColourId, QuartzinePalette::valueBoxOutline);
    addAndMakeVisible (slider);
}
