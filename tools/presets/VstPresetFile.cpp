#include "VstPresetFile.h"

namespace VstPresetFile
{
namespace
{
constexpr juce::int32 formatVersion = 1;

void writeId (juce::MemoryOutputStream& out, const char (&id)[5]) { out.write (id, 4); }
} // namespace

juce::MemoryBlock write (const juce::String& classId, const juce::MemoryBlock& componentState)
{
    jassert (classId.length() == classIdLength && classId.containsOnly ("0123456789ABCDEFabcdef"));

    juce::MemoryOutputStream out;
    writeId (out, "VST3");
    out.writeInt (formatVersion);
    out.write (classId.toRawUTF8(), (size_t) classIdLength);

    const auto componentOffset = (juce::int64) headerBytes;
    const auto componentSize = (juce::int64) componentState.getSize();
    const auto listOffset = componentOffset + componentSize;
    out.writeInt64 (listOffset);

    out.write (componentState.getData(), componentState.getSize());

    writeId (out, "List");
    out.writeInt (1);
    writeId (out, "Comp");
    out.writeInt64 (componentOffset);
    out.writeInt64 (componentSize);

    return out.getMemoryBlock();
}
} // namespace VstPresetFile
