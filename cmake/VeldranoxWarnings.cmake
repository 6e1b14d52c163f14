# Warnings for the project's own sources only: JUCE's modules are compiled in the same targets
# and GCC 12 warns about some of JUCE's headers, which we neither own nor fix.
function(veldranox_project_warnings)
    set_source_files_properties(${ARGN} PROPERTIES COMPILE_OPTIONS
        "-Wall;-Wextra;-Wshadow;-Wnon-virtual-dtor;-Woverloaded-virtual")
endfunction()
