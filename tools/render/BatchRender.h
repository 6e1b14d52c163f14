#pragma once

#include "AutomationEvent.h"
#include "RenderOptions.h"

#include <vector>

// Renders every file of a batch, several at once, each through a plug-in instance of its own, and
// prints a table of the results. A file that fails is reported and skipped; the others are rendered.
// Returns how many files failed. Throws ToolError when the plug-in itself cannot be loaded.
int renderBatch (const RenderOptions& options, const std::vector<AutomationEvent>& automation);
