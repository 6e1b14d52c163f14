#pragma once

#include "RenderOptions.h"

// Renders an input file, or the built-in demo, through the plug-in and writes the WAV (and the plot).
// Everything the user gave is checked before anything is written. Throws ToolError.
void runRenderJob (const RenderOptions& options);
