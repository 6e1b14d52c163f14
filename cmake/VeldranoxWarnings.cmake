# Warnings for the project's own sources only: JUCE's modules are compiled in the same targets
# and GCC 12 warns about some of JUCE's headers, which we neither own nor fix.
# VELDRANOX_WARNINGS_AS_ERRORS makes them errors, for the builds that keep a compiler's count at zero.
function(veldranox_project_warnings)
    set(options -Wall -Wextra -Wshadow -Wnon-virtual-dtor -Woverloaded-virtual)
    if(VELDRANOX_WARNINGS_AS_ERRORS)
        list(APPEND options -Werror)
    endif()
    set_source_files_properties(${ARGN} PROPERTIES COMPILE_OPTIONS "${options}")
endfunction()
