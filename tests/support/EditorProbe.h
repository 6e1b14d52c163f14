#pragma once

#include "editor/VeldranoxAudioProcessorEditor.h"
#include "processor/ParameterIDs.h"

#include <stdexcept>
#include <string>
#include <string_view>

// Test access to the editor's child components, by the member's name.
struct EditorProbe
{
    static juce::Label& label (VeldranoxAudioProcessorEditor& e, std::string_view name)
    {
        if (name == "titleLabel")
            return e.titleLabel;
        if (name == "vendorLabel")
            return e.vendorLabel;
        if (name == "meltLabel")
            return e.meltLabel;
        if (name == "spaceLabel")
            return e.spaceLabel;
        if (name == "gritLabel")
            return e.gritLabel;
        if (name == "driftLabel")
            return e.driftLabel;

        throw std::invalid_argument ("no label " + std::string (name));
    }

    static juce::Slider& slider (VeldranoxAudioProcessorEditor& e, std::string_view name)
    {
        if (name == "meltSlider")
            return e.meltSlider;
        if (name == "spaceSlider")
            return e.spaceSlider;
        if (name == "gritSlider")
            return e.gritSlider;
        if (name == "driftSlider")
            return e.driftSlider;

        throw std::invalid_argument ("no slider " + std::string (name));
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
        if (parameterId == ParameterIDs::melt)
            return e.meltSlider;
        if (parameterId == ParameterIDs::space)
            return e.spaceSlider;
        if (parameterId == ParameterIDs::grit)
            return e.gritSlider;
        if (parameterId == ParameterIDs::drift)
            return e.driftSlider;

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
};
