#pragma once

#include "RenderOptions.h"
#include "ToolError.h"

// Renders the input files, or the built-in demo, through the plug-in and writes the outputs (and the
// plot, and the settings). Everything the user gave is checked before anything is written. Throws
// ToolError when nothing could be done; returns the exit status otherwise (a batch in which some
// files failed says so).
ExitStatus runRenderJob (const RenderOptions& options);
