#pragma once

#include "RealtimeGuard.h"

#include <string>
#include <vector>

// Where the functions whose mangled names start with a prefix lie in a loaded module. Reads the
// module's full symbol table from its file, since the bundle exports almost nothing dynamically;
// compiler-split parts (".cold" clones) come along because they share the prefix.
std::vector<RealtimeGuard::CodeRange> findLoadedFunctions (const std::string& moduleFileName,
                                                           const std::string& mangledPrefix);
