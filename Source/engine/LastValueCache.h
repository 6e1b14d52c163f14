#pragma once

#include <cstdint>
#include <cstring>

// Remembers a pure function's last argument and result. A call with the same argument, bit for bit,
// returns the remembered result, which is exact: the function would return the same value again.
// Worth it where the argument follows a control that rests for whole blocks.
template <typename Result>
class LastValueCache
{
public:
    template <typename Function>
    Result get (float argument, Function&& function)
    {
        const auto bits = bitsOf (argument);

        if (! valid || bits != lastBits)
        {
            lastResult = function (argument);
            lastBits = bits;
            valid = true;
        }

        return lastResult;
    }

private:
    static std::uint32_t bitsOf (float x) noexcept
    {
        std::uint32_t bits;
        std::memcpy (&bits, &x, sizeof bits);
        return bits;
    }

    Result lastResult {};
    std::uint32_t lastBits = 0;
    bool valid = false;
};
