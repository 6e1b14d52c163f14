#include "StateBlobBuilder.h"
#include "processor/StateBlob.h"

#include <gtest/gtest.h>
#include <string>

// The guards of the state reader, each on its own. The restores they protect are tested through the
// processor in StateTests.

TEST (StateBlob, ExponentsOfMoreThanNineSignificantDigitsAreBoundedToNineNines)
{
    struct Case
    {
        const char* text;
        const char* expected;
    };

    constexpr Case cases[] = {
        { "24.3E5555555555", "24.3E999999999" },
        { "1e+12345678901", "1e+999999999" },
        { "-2e-10000000000", "-2e-999999999" },
        { "5e123456789", "5e123456789" },            // nine digits: left alone
        { "1e0000000000012", "1e0000000000012" },    // leading zeros are not significant
        { "1e00000000001234567890", "1e999999999" }, // but go with the digits they lead
        { "7E1234567890 and 3e4", "7E999999999 and 3e4" },
        { "no exponent here", "no exponent here" },
        { "e", "e" },
        { "40.0", "40.0" },
    };

    for (const auto& c : cases)
    {
        const auto bounded = StateBlob::withBoundedExponents (c.text);
        EXPECT_EQ (bounded, juce::String (c.expected)) << c.text;
        EXPECT_EQ (StateBlob::withBoundedExponents (bounded), bounded) << c.text;
    }
}

TEST (StateBlob, OnlyWellFormedUtf8IsRead)
{
    struct Case
    {
        const char* name;
        std::string bytes;
        bool wellFormed;
    };

    const Case cases[] = {
        { "ASCII", "<PARAMS/>", true },
        { "two bytes", "\xc3\xa9", true },
        { "three bytes", "\xe2\x82\xac", true },
        { "four bytes", "\xf0\x9f\x98\x80", true },
        { "highest code point", "\xf4\x8f\xbf\xbf", true },
        { "cut short at the end", "ab\xc3", false },
        { "cut short inside", "\xe2\x82x", false },
        { "lone continuation byte", "\x80", false },
        { "overlong two bytes", "\xc0\x80", false },
        { "overlong three bytes", "\xe0\x80\x80", false },
        { "overlong four bytes", "\xf0\x80\x80\x80", false },
        { "surrogate", "\xed\xa0\x80", false },
        { "above U+10FFFF", "\xf4\x90\x80\x80", false },
        { "no such lead byte", "\xf5\x80\x80\x80", false },
    };

    for (const auto& c : cases)
        EXPECT_EQ (StateBlob::isWellFormedUtf8 (c.bytes.data(), (int) c.bytes.size()), c.wellFormed) << c.name;
}

TEST (StateBlob, OnlyTheLeadingDeclarationMayBeAnInstruction)
{
    struct Case
    {
        const char* text;
        bool refused;
    };

    constexpr Case cases[] = {
        { "<PARAMS/>", false },
        { "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<PARAMS/>", false },
        { "  \n<?xml version=\"1.0\"?><PARAMS/>", false },
        { "<PARAMS><?pi data?>text</PARAMS>", true },
        { "<?xml version=\"1.0\"?><PARAMS/><?tail?>", true },
        { "<PARAMS/><?xml version=\"1.0\"?>", true },
    };

    for (const auto& c : cases)
        EXPECT_EQ (StateBlob::hasInstructionAfterDeclaration (c.text), c.refused) << c.text;
}

TEST (StateBlob, ANanIsRemovedAndAnOverlongExponentBounded)
{
    juce::ValueTree params { "PARAMS" };
    const auto add = [&params] (const char* id, const juce::var& value)
    {
        juce::ValueTree child { "PARAM" };
        child.setProperty ("id", id, nullptr);
        child.setProperty ("value", value, nullptr);
        params.appendChild (child, nullptr);
    };

    add ("SPACE", "nan");
    add ("GRIT", "24.3E5555555555");
    add ("DRIFT", 12.5);
    add ("MELT", "-NaN");

    StateBlob::makeStoredValuesSafe (params);

    EXPECT_FALSE (params.getChild (0).hasProperty ("value"));
    EXPECT_EQ (params.getChild (1).getProperty ("value").toString(), "24.3E999999999");
    EXPECT_EQ ((double) params.getChild (2).getProperty ("value"), 12.5);
    EXPECT_FALSE (params.getChild (3).hasProperty ("value"));
}

TEST (StateBlob, AHeaderThatIsNoSavedStateIsRefused)
{
    const std::string xml = "<PARAMS><PARAM id=\"SPACE\" value=\"12.0\"/></PARAMS>";
    const int length = (int) xml.size();

    struct Case
    {
        const char* name;
        juce::MemoryBlock data;
        bool read;
    };

    const Case cases[] = {
        { "a saved state", StateBlobBuilder::blob (xml, StateBlob::magic, length), true },
        { "the length longer than the blob", StateBlobBuilder::blob (xml, StateBlob::magic, length + 1000), true },
        { "wrong magic", StateBlobBuilder::blob (xml, StateBlob::magic + 1, length), false },
        { "no length", StateBlobBuilder::blob (xml, StateBlob::magic, 0), false },
        { "a negative length", StateBlobBuilder::blob (xml, StateBlob::magic, -5), false },
        { "the header alone", StateBlobBuilder::blob (std::string(), StateBlob::magic, length), false },
    };

    for (const auto& c : cases)
    {
        const auto element = StateBlob::readXml (c.data.getData(), (int) c.data.getSize());
        EXPECT_EQ (element != nullptr, c.read) << c.name;

        if (element != nullptr)
        {
            EXPECT_EQ (element->getChildByName ("PARAM")->getStringAttribute ("value"), "12.0") << c.name;
        }
    }

    EXPECT_EQ (StateBlob::readXml (nullptr, 100), nullptr);
}
