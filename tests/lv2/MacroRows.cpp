// Prints the macro table as the LV2 bundle should publish it, one parameter a line, tab-separated: ID,
// name, default, minimum, maximum. check-bundle.sh reads the bundle with tools that share no code with
// the plug-in and holds it to these rows, so a row added to the table is checked without editing the
// script.
#include "engine/MacroTable.h"

#include <cstdio>

int main()
{
    for (const auto& macro : macroTable)
        std::printf ("%s\t%s\t%.9g\t%.9g\t%.9g\n",
                     macro.id,
                     macro.name,
                     static_cast<double> (macro.defaultValue),
                     static_cast<double> (MacroRange::minimum),
                     static_cast<double> (MacroRange::maximum));

    return 0;
}
