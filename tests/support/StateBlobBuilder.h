#pragma once

#include <juce_core/juce_core.h>
#include <optional>
#include <string>

// Saved states built byte by byte, damaged ones included, in the layout juce::AudioProcessor's
// copyXmlToBinary writes: the magic "VC2!", the text's byte count (both little-endian), the UTF-8 text and
// a terminating zero.
namespace StateBlobBuilder
{
inline constexpr juce::uint32 magic = 0x21324356;

// The bytes as they are, under a header that declares their count unless told otherwise.
inline juce::MemoryBlock blob (const std::string& bytes,
                               juce::uint32 magicNumber = magic,
                               std::optional<juce::int32> declaredCount = std::nullopt)
{
    juce::MemoryOutputStream out;
    out.writeInt (static_cast<juce::int32> (magicNumber));
    out.writeInt (declaredCount.value_or (static_cast<juce::int32> (bytes.size())));
    out.write (bytes.data(), bytes.size());
    out.writeByte (0);
    return out.getMemoryBlock();
}

inline juce::MemoryBlock blob (const juce::String& text,
                               juce::uint32 magicNumber = magic,
                               std::optional<juce::int32> declaredCount = std::nullopt)
{
    return blob (text.toStdString(), magicNumber, declaredCount);
}
inline juce::MemoryBlock
blob (const char* text, juce::uint32 magicNumber = magic, std::optional<juce::int32> declaredCount = std::nullopt)
{
    return blob (std::string (text), magicNumber, declaredCount);
}
} // namespace StateBlobBuilder
