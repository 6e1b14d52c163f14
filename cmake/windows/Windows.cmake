# What the Windows x64 build (cmake --preset windows, with cmake/toolchains/mingw-w64-x86_64.cmake) needs beyond
# the Linux one: a Wine prefix to run its programs in, and the C libraries that JUCE compiles against.
include("${CMAKE_CURRENT_LIST_DIR}/DebianSourceLibraries.cmake")

# JUCE 8 refuses MinGW outright (juce_TargetPlatform.h: "MinGW is not supported"), and Debian 13 ships JUCE 8
# only: say so before fetching, building or compiling anything, rather than at the first JUCE source file.
if(VELDRANOX_JUCE_MAJOR_VERSION GREATER_EQUAL 8 AND MINGW)
    message(FATAL_ERROR "VELDRANOX: JUCE ${VELDRANOX_JUCE_MAJOR_VERSION} does not build with MinGW (its "
                        "juce_TargetPlatform.h stops any MinGW compiler), and Debian ships no other compiler for "
                        "Windows. scripts/build-windows.sh builds the Windows products in a Debian 12 chroot, whose "
                        "JUCE 7.0.5 builds with MinGW; or point VELDRANOX_JUCE_DIR at a JUCE 7 source tree.")
endif()

# The build's own Wine prefix, so that nothing it runs touches ~/.wine; made once, at the first configure.
set(VELDRANOX_WINE_PREFIX "${CMAKE_BINARY_DIR}/wine")
set(CMAKE_CROSSCOMPILING_EMULATOR "${CMAKE_CURRENT_LIST_DIR}/wine-run.sh" "${VELDRANOX_WINE_PREFIX}")
if(NOT EXISTS "${VELDRANOX_WINE_PREFIX}/system.reg")
    message(STATUS "VELDRANOX: creating the Wine prefix ${VELDRANOX_WINE_PREFIX}")
    veldranox_run(${CMAKE_CROSSCOMPILING_EMULATOR} wineboot -i)
endif()

veldranox_build_windows_libraries()
list(APPEND CMAKE_FIND_ROOT_PATH "${VELDRANOX_WINDOWS_PREFIX}")

set(VELDRANOX_MINGW_LIB "/usr/${VELDRANOX_MINGW_TRIPLET}/lib")

# Debian's JUCE leaves out its own copies of these and includes the system's headers instead.
add_library(veldranox_windows_images INTERFACE)
target_include_directories(veldranox_windows_images SYSTEM INTERFACE "${VELDRANOX_WINDOWS_PREFIX}/include")
target_link_libraries(veldranox_windows_images INTERFACE
    "${VELDRANOX_WINDOWS_PREFIX}/lib/libpng16.a"
    "${VELDRANOX_WINDOWS_PREFIX}/lib/libjpeg.a"
    "${VELDRANOX_MINGW_LIB}/libz.a")

# In the order a static link resolves them.
add_library(veldranox_windows_codecs INTERFACE)
target_include_directories(veldranox_windows_codecs SYSTEM INTERFACE "${VELDRANOX_WINDOWS_PREFIX}/include")
# FLAC's headers otherwise declare its functions as imported from a DLL.
target_compile_definitions(veldranox_windows_codecs INTERFACE FLAC__NO_DLL)
target_link_libraries(veldranox_windows_codecs INTERFACE
    "${VELDRANOX_WINDOWS_PREFIX}/lib/libFLAC.a"
    "${VELDRANOX_WINDOWS_PREFIX}/lib/libvorbisenc.a"
    "${VELDRANOX_WINDOWS_PREFIX}/lib/libvorbisfile.a"
    "${VELDRANOX_WINDOWS_PREFIX}/lib/libvorbis.a"
    "${VELDRANOX_WINDOWS_PREFIX}/lib/libogg.a")

# Debian's libgtest-dev ships GoogleTest's sources beside its Linux libraries: build them for Windows.
if(VELDRANOX_BUILD_TESTS AND NOT TARGET GTest::gtest)
    set(BUILD_GMOCK OFF CACHE BOOL "")
    set(INSTALL_GTEST OFF CACHE BOOL "")
    # Its own CMake names the targets GTest::gtest and GTest::gtest_main, as find_package(GTest) does.
    add_subdirectory(/usr/src/googletest "${CMAKE_BINARY_DIR}/googletest" EXCLUDE_FROM_ALL SYSTEM)
endif()
