#pragma once

// How long the block-by-block cases run: the full form for the figures, the short form (the command
// line's --short) for CI, where the cases must run and report but their tails are not read.
enum class RunLength
{
    full,
    brief,
};
