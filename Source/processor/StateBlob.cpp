#include "processor/StateBlob.h"

#include <cmath>
#include <string>

namespace StateBlob
{
// JUCE's number reader gathers an exponent's digits in an int, which overflows (undefined behaviour) on
// a damaged value such as "24.3E5555555555". An exponent of ten or more digits, leading zeros aside, lies
// far beyond a double's range, where the reader gives ±inf or ±0; nine nines read as the same.
juce::String withBoundedExponents (const juce::String& text)
{
    constexpr size_t maxExponentDigits = 9;
    auto s = text.toStdString();
    const auto isDigit = [&s] (size_t i) { return i < s.size() && s[i] >= '0' && s[i] <= '9'; };

    for (size_t i = 0; i < s.size(); ++i)
    {
        if (s[i] != 'e' && s[i] != 'E')
            continue;

        auto digits = i + 1;
        if (digits < s.size() && (s[digits] == '+' || s[digits] == '-'))
            ++digits;

        auto significant = digits;
        while (isDigit (significant) && s[significant] == '0')
            ++significant;

        auto end = significant;
        while (isDigit (end))
            ++end;

        if (end - significant > maxExponentDigits)
            s.replace (digits, end - digits, std::string (maxExponentDigits, '9'));
    }

    return juce::String::fromUTF8 (s.data(), static_cast<int> (s.size()));
}

// Stored values that would do harm are made harmless before the framework reads them. Over-long
// exponents are bounded (above). The framework limits a value to the range, infinities included, but
// lets NaN through to the engine, where it turns every output sample into NaN: a stored "nan" therefore
// counts as absent, and the parameter takes its default.
void makeStoredValuesSafe (juce::ValueTree& restored)
{
    static const juce::Identifier valueProperty { "value" };

    for (auto child : restored)
    {
        if (! child.hasProperty (valueProperty))
            continue;

        if (const auto& value = child.getProperty (valueProperty); value.isString())
        {
            const auto text = value.toString();

            if (const auto bounded = withBoundedExponents (text); bounded != text)
                child.setProperty (valueProperty, bounded, nullptr);
        }

        if (std::isnan (static_cast<float> (child.getProperty (valueProperty))))
            child.removeProperty (valueProperty, nullptr);
    }
}

// Only well-formed UTF-8 is read, as Unicode defines it: no sequence cut short, no overlong form, no
// surrogate, nothing above U+10FFFF. JUCE's reader steps past the end of a text that stops inside a
// sequence and reads memory that is not the blob's; it lets overlong forms through, which it then writes
// back differently on every save. A saved state is always well formed, so anything else is damage and is
// ignored like any other unreadable state.
bool isWellFormedUtf8 (const char* text, int length)
{
    const auto* bytes = reinterpret_cast<const unsigned char*> (text);

    for (int i = 0; i < length;)
    {
        const auto lead = bytes[i];

        if (lead < 0x80)
        {
            ++i;
            continue;
        }

        // The lead byte sets the length and the range of the second byte; further bytes are 80 to BF.
        int trailing = 0;
        unsigned char low = 0x80, high = 0xbf;

        if (lead >= 0xc2 && lead <= 0xdf)
        {
            trailing = 1;
        }
        else if (lead >= 0xe0 && lead <= 0xef)
        {
            trailing = 2;
            low = lead == 0xe0 ? 0xa0 : 0x80;  // no overlong form
            high = lead == 0xed ? 0x9f : 0xbf; // no surrogate
        }
        else if (lead >= 0xf0 && lead <= 0xf4)
        {
            trailing = 3;
            low = lead == 0xf0 ? 0x90 : 0x80;  // no overlong form
            high = lead == 0xf4 ? 0x8f : 0xbf; // nothing above U+10FFFF
        }
        else
        {
            return false; // a continuation byte, C0, C1 (overlong) or F5 to FF
        }

        if (length - i <= trailing || bytes[i + 1] < low || bytes[i + 1] > high)
            return false;

        for (int k = 2; k <= trailing; ++k)
            if (bytes[i + k] < 0x80 || bytes[i + k] > 0xbf)
                return false;

        i += trailing + 1;
    }

    return true;
}

// JUCE's XML reader never returns from element content that holds a processing instruction followed
// by text: it rolls back to the instruction and reads it again, for ever, and the host's message
// thread with it. A saved state has no instruction besides the leading XML declaration.
bool hasInstructionAfterDeclaration (const juce::String& text)
{
    auto body = text.trimStart();

    if (body.startsWith ("<?"))
        body = body.fromFirstOccurrenceOf ("?>", false, false);

    return body.contains ("<?");
}

// Reads the blob exactly as juce::AudioProcessor::getXmlFromBinary does, but refuses the damaged texts
// that JUCE's XML reader cannot survive.
std::unique_ptr<juce::XmlElement> readXml (const void* data, int sizeInBytes)
{
    if (data == nullptr || sizeInBytes <= headerBytes || juce::ByteOrder::littleEndianInt (data) != magic)
        return {};

    const auto declared = static_cast<int> (juce::ByteOrder::littleEndianInt (juce::addBytesToPointer (data, 4)));

    if (declared <= 0)
        return {};

    const int length = juce::jmin (sizeInBytes - headerBytes, declared);
    const auto* text = static_cast<const char*> (data) + headerBytes;

    if (! isWellFormedUtf8 (text, length))
        return {};

    const auto xmlText = juce::String::fromUTF8 (text, length);

    if (hasInstructionAfterDeclaration (xmlText))
        return {};

    return juce::parseXML (xmlText);
}
} // namespace StateBlob
