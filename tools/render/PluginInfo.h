#pragma once

#include "RenderOptions.h"

// Prints what a host sees of the plug-in: identity, buses and layouts, parameters, latency and tail.
// Throws ToolError when the bundle does not load.
void printPluginInfo (const RenderOptions& options);
