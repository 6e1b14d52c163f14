# Windows x64 from Debian: Debian's MinGW-w64 cross compilers (the POSIX-threads flavour, which std::thread
# needs) and Wine to run what is built, for the tests and for the helpers JUCE runs at build time.
#   cmake --preset windows
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(VELDRANOX_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${VELDRANOX_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VELDRANOX_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${VELDRANOX_MINGW_TRIPLET}-windres)
set(CMAKE_AR ${VELDRANOX_MINGW_TRIPLET}-gcc-ar-posix CACHE FILEPATH "")
set(CMAKE_RANLIB ${VELDRANOX_MINGW_TRIPLET}-gcc-ranlib-posix CACHE FILEPATH "")

# Windows libraries and headers come only from the MinGW tree and the prefixes the build adds to this list;
# programs are the build machine's own.
list(APPEND CMAKE_FIND_ROOT_PATH /usr/${VELDRANOX_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Debian's JUCE package is a build-machine package (its juceaide runs here), so it lies outside the find root.
if(NOT JUCE_DIR)
    file(GLOB VELDRANOX_JUCE_PACKAGE_DIRS "/usr/lib/*/cmake/JUCE-*")
    if(VELDRANOX_JUCE_PACKAGE_DIRS)
        list(GET VELDRANOX_JUCE_PACKAGE_DIRS 0 VELDRANOX_JUCE_PACKAGE_DIR)
        set(JUCE_DIR "${VELDRANOX_JUCE_PACKAGE_DIR}" CACHE PATH "Debian's JUCE CMake package")
    endif()
endif()

# The MinGW runtime DLLs exist on no Windows machine: link them in, so that the products import only Windows's
# own DLLs.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# CTest and custom commands run Windows programs through Wine. The project narrows this to a Wine prefix of
# its own build tree.
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
