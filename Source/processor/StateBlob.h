#pragma once

#include <juce_audio_processors/juce_audio_processors.h>
#include <memory>

// Reading a saved state as JUCE's AudioProcessor::getXmlFromBinary does, hardened against the damaged
// blobs that JUCE's readers do not survive: each guard is a free function, so that tests and the state
// fuzzer can reach it on its own.
namespace StateBlob
{
// The blob's header: the magic number, then the length of the UTF-8 text that follows.
inline constexpr juce::uint32 magic = 0x21324356; // "VC2!"
inline constexpr int headerBytes = 8;

// The text with every exponent of more than nine significant digits replaced by nine nines, which reads as
// the same ±inf or ±0: JUCE's number reader gathers an exponent's digits in an int, which overflows.
juce::String withBoundedExponents (const juce::String& text);

// Stored values that would do harm made harmless before the framework reads them: over-long exponents
// bounded, and a stored NaN removed, so that the parameter counts as absent.
void makeStoredValuesSafe (juce::ValueTree& restored);

// True if the bytes are UTF-8 as Unicode defines it: no sequence cut short, no overlong form, no
// surrogate, nothing above U+10FFFF.
bool isWellFormedUtf8 (const char* text, int length);

// True if the text holds a processing instruction other than a leading XML declaration; JUCE's XML reader
// never returns from some of those.
bool hasInstructionAfterDeclaration (const juce::String& text);

// The XML in a blob, or nothing if the blob is no saved state or is damaged beyond what JUCE can read.
std::unique_ptr<juce::XmlElement> readXml (const void* data, int sizeInBytes);
} // namespace StateBlob
