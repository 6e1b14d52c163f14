#pragma once

#include <juce_graphics/juce_graphics.h>

// The plug-in's colours, shared by the look-and-feel and the editor's own painting.
namespace QuartzinePalette
{
inline const juce::Colour windowBackground { 0xff1a222e }; // dark blue-grey
inline const juce::Colour headerBand { 0xff5f8b86 };       // muted teal
inline const juce::Colour headerText { 0xff16202b };       // near-black blue, for text on the teal band
inline const juce::Colour labelText { 0xffd8dde2 };        // light grey
inline const juce::Colour valueBoxText { 0xffccd4db };
inline const juce::Colour valueBoxBackground { 0xff2b3643 };
inline const juce::Colour valueBoxOutline { 0x00000000 }; // transparent: the value box has no visible outline
inline const juce::Colour highlight { 0xffe9e5d9 };       // warm off-white: value arc, pointer, tick cross
inline const juce::Colour knobTrack { 0xff38424f };
inline const juce::Colour discTop { 0xff3a4655 };
inline const juce::Colour discBottom { 0xff29323f };
inline const juce::Colour discOutline { 0xff141b24 };
inline const juce::Colour tickBoxOutlineTicked { headerBand };
inline const juce::Colour tickBoxOutline { 0xff3c4a58 };
} // namespace QuartzinePalette
