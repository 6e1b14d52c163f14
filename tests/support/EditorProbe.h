#pragma once

#include "editor/VeldranoxAudioProcessorEditor.h"
#include "engine/MacroTable.h"

#include <stdexcept>
#include <string>
#include <string_view>

// Test access to the editor's child components, by a member-like name: "titleLabel", "vendorLabel", and
// for each macro its ID in lower case followed by "Label" or "Slider" ("meltLabel", "spaceSlider").
struct EditorProbe
{
    static juce::Label& label (VeldranoxAudioProcessorEditor& e, std::string_view name)
    {
        if (name == "titleLabel")
            return e.titleLabel;
        if (name == "vendorLabel")
            return e.vendorLabel;

        return e.knobs[knobNamed (name, "Label")].label;
    }

    static juce::Slider& slider (VeldranoxAudioProcessorEditor& e, std::string_view name)
    {
        return e.knobs[knobNamed (name, "Slider")].slider;
    }

    static juce::Component& child (VeldranoxAudioProcessorEditor& e, std::string_view name)
    {
        if (name.size() > 6 && name.substr (name.size() - 6) == "Slider")
            return slider (e, name);

        return label (e, name);
    }

    // The slider bound to a parameter.
    static juce::Slider& sliderFor (VeldranoxAudioProcessorEditor& e, std::string_view parameterId)
    {
        for (std::size_t k = 0; k < numMacros; ++k)
            if (parameterId == macroTable[k].id)
                return e.knobs[k].slider;

        throw std::invalid_argument ("no slider for " + std::string (parameterId));
    }

    // The editable label a slider shows its value in.
    static juce::Label* valueBox (juce::Slider& slider)
    {
        for (auto* c : slider.getChildren())
            if (auto* box = dynamic_cast<juce::Label*> (c))
                return box;

        return nullptr;
    }

private:
    // The macro whose knob has this part.
    static std::size_t knobNamed (std::string_view name, std::string_view part)
    {
        for (std::size_t k = 0; k < numMacros; ++k)
            if (name == juce::String (macroTable[k].id).toLowerCase().toStdString() + std::string (part))
                return k;

        throw std::invalid_argument ("no " + std::string (part) + " " + std::string (name));
    }
};
