#pragma once

#include "engine/FloatBits.h"

#include <cstdint>

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
        const auto bits = floatBits (argument);

        if (! valid || bits != lastBits)
        {
            lastResult = function (argument);
            lastBits = bits;
            valid = true;
        }

        return lastResult;
    }

private:
    Result lastResult {};
    std::uint32_t lastBits = 0;
    bool valid = false;
};
