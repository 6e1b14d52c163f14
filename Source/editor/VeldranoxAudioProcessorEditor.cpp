#include "editor/VeldranoxAudioProcessorEditor.h"

#include "editor/QuartzinePalette.h"
#include "processor/ParameterIDs.h"
#include "processor/VeldranoxAudioProcessor.h"

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

    setupKnobLabel (meltLabel, "MELT");
    setupKnobLabel (spaceLabel, "SPACE");
    setupKnobLabel (gritLabel, "GRIT");
    setupKnobLabel (driftLabel, "DRIFT");

    setupKnob (meltSlider);
    setupKnob (spaceSlider);
    setupKnob (gritSlider);
    setupKnob (driftSlider);

    auto& parameters = audioProcessor.parameters;
    meltAttachment = std::make_unique<SliderAttachment> (parameters, ParameterIDs::melt, meltSlider);
    spaceAttachment = std::make_unique<SliderAttachment> (parameters, ParameterIDs::space, spaceSlider);
    gritAttachment = std::make_unique<SliderAttachment> (parameters, ParameterIDs::grit, gritSlider);
    driftAttachment = std::make_unique<SliderAttachment> (parameters, ParameterIDs::drift, driftSlider);

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

    placeKnob (body.removeFromTop (topRowHeight), meltLabel, meltSlider, largeKnobWidth);

    body.removeFromTop (rowGap);

    auto bottomRow = body.removeFromTop (bottomRowHeight);
    const int columnWidth = bottomRow.getWidth() / 3;
    placeKnob (bottomRow.removeFromLeft (columnWidth), spaceLabel, spaceSlider, smallKnobWidth);
    placeKnob (bottomRow.removeFromLeft (columnWidth), gritLabel, gritSlider, smallKnobWidth);
    placeKnob (bottomRow, driftLabel, driftSlider, smallKnobWidth); // the last column takes the remainder
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
