#pragma once

#include <cstddef>
#include <cstdint>

// Reads a fuzzer's bytes as a stream of small numbers; past the end every read gives 0.
class FuzzInput
{
public:
    FuzzInput (const std::uint8_t* bytes, std::size_t count) : data (bytes), size (count) {}

    bool exhausted() const { return position >= size; }

    std::uint8_t byte() { return position < size ? data[position++] : 0; }

    std::uint16_t word()
    {
        const auto low = byte();
        return static_cast<std::uint16_t> (low | (byte() << 8));
    }

    // 0 to 1 inclusive.
    float unit() { return static_cast<float> (word()) / 65535.0f; }

private:
    const std::uint8_t* data;
    std::size_t size;
    std::size_t position = 0;
};
