#include "EditorMessagePump.h"
#include "EditorProbe.h"
#include "processor/ParameterIDs.h"
#include "processor/VeldranoxAudioProcessor.h"

#include <gtest/gtest.h>
#include <memory>
#include <thread>

namespace
{
struct Binding
{
    const char* parameterId;
    float defaultValue;
    const char* defaultText;
};

const Binding bindings[] = {
    { ParameterIDs::melt, 35.0f, "35.0 %" },
    { ParameterIDs::space, 40.0f, "40.0 %" },
    { ParameterIDs::grit, 25.0f, "25.0 %" },
    { ParameterIDs::drift, 20.0f, "20.0 %" },
};

class EditorBinding : public ::testing::Test
{
protected:
    juce::RangedAudioParameter& parameter (const char* id) { return *processor.parameters.getParameter (id); }
    float value (const char* id) { return processor.parameters.getRawParameterValue (id)->load(); }
    juce::Slider& slider (const char* id) { return EditorProbe::sliderFor (*editor, id); }

    void setFromHost (const char* id, float newValue)
    {
        auto& p = parameter (id);
        p.setValueNotifyingHost (p.convertTo0to1 (newValue));
    }

    juce::String valueBoxText (const char* id)
    {
        auto* box = EditorProbe::valueBox (slider (id));
        return box != nullptr ? box->getText() : juce::String ("<no value box>");
    }

    // Opens the value box's text editor, types over its selected text and presses return.
    void typeIntoValueBox (const char* id, const juce::String& text)
    {
        auto* box = EditorProbe::valueBox (slider (id));
        ASSERT_NE (box, nullptr);
        box->showEditor();
        auto* textEditor = box->getCurrentTextEditor();
        ASSERT_NE (textEditor, nullptr);
        textEditor->insertTextAtCaret (text);
        textEditor->keyPressed (juce::KeyPress (juce::KeyPress::returnKey));
        dispatchPendingMessages();
    }

    void doubleClick (juce::Slider& target)
    {
        const auto now = juce::Time::getCurrentTime();
        const juce::Point<float> centre = target.getLocalBounds().getCentre().toFloat();
        target.mouseDoubleClick (juce::MouseEvent (juce::Desktop::getInstance().getMainMouseSource(),
                                                   centre,
                                                   juce::ModifierKeys::leftButtonModifier,
                                                   juce::MouseInputSource::defaultPressure,
                                                   juce::MouseInputSource::defaultOrientation,
                                                   juce::MouseInputSource::defaultRotation,
                                                   juce::MouseInputSource::defaultTiltX,
                                                   juce::MouseInputSource::defaultTiltY,
                                                   &target,
                                                   &target,
                                                   now,
                                                   centre,
                                                   now,
                                                   2,
                                                   false));
    }

    VeldranoxAudioProcessor processor;
    std::unique_ptr<VeldranoxAudioProcessorEditor> editor = std::make_unique<VeldranoxAudioProcessorEditor> (processor);
};
} // namespace

TEST_F (EditorBinding, KnobsOpenAtTheDefaultsWithOneDecimalAndAPercentSign)
{
    for (const auto& b : bindings)
    {
        EXPECT_DOUBLE_EQ (slider (b.parameterId).getValue(), b.defaultValue) << b.parameterId;
        EXPECT_EQ (valueBoxText (b.parameterId), b.defaultText) << b.parameterId;
        EXPECT_EQ (slider (b.parameterId).getMinimum(), 0.0) << b.parameterId;
        EXPECT_EQ (slider (b.parameterId).getMaximum(), 100.0) << b.parameterId;
    }
}

TEST_F (EditorBinding, KnobsAreEditableRotaryDragControls)
{
    for (const auto& b : bindings)
    {
        auto& s = slider (b.parameterId);
        EXPECT_EQ (s.getSliderStyle(), juce::Slider::RotaryVerticalDrag) << b.parameterId;
        EXPECT_EQ (s.getTextBoxPosition(), juce::Slider::TextBoxBelow) << b.parameterId;
        EXPECT_TRUE (s.isTextBoxEditable()) << b.parameterId;
        EXPECT_EQ (s.getTextValueSuffix(), " %") << b.parameterId;
        EXPECT_EQ (s.findColour (juce::Slider::textBoxOutlineColourId).getAlpha(), 0) << b.parameterId;
    }
}

TEST_F (EditorBinding, HostChangesMoveTheKnobAndItsValueBox)
{
    for (const auto& b : bindings)
    {
        setFromHost (b.parameterId, 72.3f);
        EXPECT_NEAR (slider (b.parameterId).getValue(), 72.3, 1.0e-4) << b.parameterId;
        EXPECT_EQ (valueBoxText (b.parameterId), "72.3 %") << b.parameterId;
    }
}

TEST_F (EditorBinding, AutomationFromAnotherThreadArrivesThroughTheMessageLoop)
{
    std::thread automation (
        [this]
        {
            for (const auto& b : bindings)
                setFromHost (b.parameterId, 12.5f);
        });
    automation.join();

    dispatchPendingMessages();

    for (const auto& b : bindings)
    {
        EXPECT_NEAR (slider (b.parameterId).getValue(), 12.5, 1.0e-4) << b.parameterId;
        EXPECT_EQ (valueBoxText (b.parameterId), "12.5 %") << b.parameterId;
    }
}

TEST_F (EditorBinding, TurningAKnobSetsItsParameterOnly)
{
    for (const auto& b : bindings)
    {
        slider (b.parameterId).setValue (63.0, juce::sendNotificationSync);

        for (const auto& other : bindings)
            EXPECT_FLOAT_EQ (value (other.parameterId), &other == &b ? 63.0f : other.defaultValue)
                << "turning " << b.parameterId << ", reading " << other.parameterId;

        slider (b.parameterId).setValue (b.defaultValue, juce::sendNotificationSync);
    }
}

TEST_F (EditorBinding, DoubleClickReturnsTheParameterToItsDefault)
{
    for (const auto& b : bindings)
    {
        setFromHost (b.parameterId, 88.8f);
        doubleClick (slider (b.parameterId));
        EXPECT_FLOAT_EQ (value (b.parameterId), b.defaultValue) << b.parameterId;
        EXPECT_EQ (valueBoxText (b.parameterId), b.defaultText) << b.parameterId;
    }
}

TEST_F (EditorBinding, TypingANumberIntoTheValueBoxSetsTheParameter)
{
    const struct
    {
        const char* typed;
        float expected;
        const char* shown;
    } entries[] = {
        { "55", 55.0f, "55.0 %" },
        { "55 %", 55.0f, "55.0 %" },
        { "12.34", 12.3f, "12.3 %" },
        { "250", 100.0f, "100.0 %" },
    };

    for (const auto& b : bindings)
        for (const auto& entry : entries)
        {
            setFromHost (b.parameterId, b.defaultValue);
            typeIntoValueBox (b.parameterId, entry.typed);
            EXPECT_NEAR (value (b.parameterId), entry.expected, 1.0e-4) << b.parameterId << " <- " << entry.typed;
            EXPECT_EQ (valueBoxText (b.parameterId), entry.shown) << b.parameterId << " <- " << entry.typed;
        }
}

TEST_F (EditorBinding, ReopenedEditorShowsTheCurrentValues)
{
    editor.reset();

    const float values[] = { 10.0f, 20.5f, 99.9f, 0.0f };
    for (size_t i = 0; i < std::size (bindings); ++i)
        setFromHost (bindings[i].parameterId, values[i]);

    editor = std::make_unique<VeldranoxAudioProcessorEditor> (processor);

    for (size_t i = 0; i < std::size (bindings); ++i)
        EXPECT_NEAR (slider (bindings[i].parameterId).getValue(), values[i], 1.0e-4) << bindings[i].parameterId;

    EXPECT_EQ (valueBoxText (ParameterIDs::drift), "0.0 %");
}

TEST_F (EditorBinding, OpeningAndClosingLeavesTheParametersAlone)
{
    for (int i = 0; i < 3; ++i)
    {
        editor.reset();
        editor = std::make_unique<VeldranoxAudioProcessorEditor> (processor);
    }

    for (const auto& b : bindings)
        EXPECT_FLOAT_EQ (value (b.parameterId), b.defaultValue) << b.parameterId;
}
