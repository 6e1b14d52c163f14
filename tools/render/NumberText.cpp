#include "NumberText.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace NumberText
{
std::optional<double> parseReal (const juce::String& text)
{
    const auto utf8 = text.trim().toStdString();
    if (utf8.empty())
        return std::nullopt;

    char* end = nullptr;
    errno = 0;
    const auto value = std::strtod (utf8.c_str(), &end);

    if (errno != 0 || end != utf8.c_str() + utf8.size() || ! std::isfinite (value))
        return std::nullopt;

    return value;
}

std::optional<juce::int64> parseInteger (const juce::String& text)
{
    const auto utf8 = text.trim().toStdString();
    if (utf8.empty())
        return std::nullopt;

    char* end = nullptr;
    errno = 0;
    const auto value = std::strtoll (utf8.c_str(), &end, 10);

    if (errno != 0 || end != utf8.c_str() + utf8.size())
        return std::nullopt;

    return (juce::int64) value;
}

juce::String format (double value)
{
    if (value == std::floor (value) && std::abs (value) < 1.0e15)
        return juce::String ((juce::int64) value);

    return juce::String (value);
}

juce::String format (double value, int decimals)
{
    const auto scale = std::pow (10.0, decimals);
    const auto rounded = std::round (value * scale) / scale;

    if (rounded == std::floor (rounded))
        return format (rounded);

    return juce::String (rounded, decimals).trimCharactersAtEnd ("0");
}
} // namespace NumberText
