# The Windows builds of the C libraries that JUCE's image and audio-file code compiles against. Debian ships
# MinGW builds of none of them but zlib, so they are built here, as static libraries, from Debian's own source
# packages of the release this machine runs, with the project's toolchain file. Done once, at configure time,
# into the build tree; a later configure finds the prefix complete and fetches nothing.
#
# The sources come through apt, from the machine's own apt sources turned into deb-src entries in a private apt
# state, so the machine's apt configuration is left as it is.

set(VELDRANOX_DEBIAN_SOURCES_DIR "${CMAKE_BINARY_DIR}/debian-sources")
set(VELDRANOX_WINDOWS_PREFIX "${VELDRANOX_DEBIAN_SOURCES_DIR}/prefix")

# Debian's source package, the CMake options that build the library alone, static, and for this use.
set(VELDRANOX_WINDOWS_LIBRARY_PACKAGES libpng1.6 libjpeg-turbo libogg libvorbis flac)
set(VELDRANOX_ZLIB_OPTIONS
    "-DZLIB_INCLUDE_DIR=/usr/${VELDRANOX_MINGW_TRIPLET}/include"
    # The import library would make the products need zlib1.dll.
    "-DZLIB_LIBRARY=/usr/${VELDRANOX_MINGW_TRIPLET}/lib/libz.a")
set(VELDRANOX_libpng1.6_OPTIONS
    -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF -DPNG_FRAMEWORK=OFF
    ${VELDRANOX_ZLIB_OPTIONS})
set(VELDRANOX_libjpeg-turbo_OPTIONS
    -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_TURBOJPEG=OFF -DWITH_JAVA=OFF
    # The SIMD code needs nasm, and JUCE decodes a few small images at most.
    -DWITH_SIMD=OFF)
set(VELDRANOX_libogg_OPTIONS -DBUILD_SHARED_LIBS=OFF -DBUILD_TESTING=OFF -DINSTALL_DOCS=OFF)
set(VELDRANOX_libvorbis_OPTIONS -DBUILD_SHARED_LIBS=OFF -DBUILD_TESTING=OFF
    # The build's own Ogg, which the find modules' re-rooted search paths would not reach.
    "-DOGG_INCLUDE_DIR=${VELDRANOX_WINDOWS_PREFIX}/include" "-DOGG_LIBRARY=${VELDRANOX_WINDOWS_PREFIX}/lib/libogg.a")
set(VELDRANOX_flac_OPTIONS
    -DBUILD_SHARED_LIBS=OFF -DBUILD_CXXLIBS=OFF -DBUILD_PROGRAMS=OFF -DBUILD_EXAMPLES=OFF -DBUILD_TESTING=OFF
    -DBUILD_DOCS=OFF -DINSTALL_MANPAGES=OFF -DINSTALL_PKGCONFIG_MODULES=ON
    # JUCE reads and writes native FLAC only.
    -DWITH_OGG=OFF
    # MinGW's stack protector and fortified string functions live in libssp, which nothing else links.
    -DWITH_STACK_PROTECTOR=OFF "-DCMAKE_C_FLAGS=-U_FORTIFY_SOURCE")

function(veldranox_run)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
    if(NOT status EQUAL 0)
        string(REPLACE ";" " " shown "${ARGN}")
        message(FATAL_ERROR "VELDRANOX: '${shown}' failed (${status}):\n${output}")
    endif()
endfunction()

# A private apt state whose only sources are the machine's own, as deb-src.
function(veldranox_prepare_source_apt apt_dir out_options)
    set(etc "${apt_dir}/etc")
    file(REMOVE_RECURSE "${etc}")
    file(MAKE_DIRECTORY "${etc}/sources.list.d" "${apt_dir}/state/lists/partial" "${apt_dir}/cache/archives/partial")
    file(GLOB deb822_files /etc/apt/sources.list.d/*.sources)
    file(GLOB one_line_files /etc/apt/sources.list /etc/apt/sources.list.d/*.list)
    set(found FALSE)
    # Each archive also alone, in a folder of its own under single/, for veldranox_fetch_source.
    set(archive 0)
    foreach(file IN LISTS deb822_files)
        file(READ "${file}" text)
        string(REGEX REPLACE "(^|\n)Types:[^\n]*" "\\1Types: deb-src" text "${text}")
        get_filename_component(name "${file}" NAME)
        file(WRITE "${etc}/sources.list.d/${name}" "${text}")
        set(found TRUE)

        string(REPLACE ";" "<semicolon>" text "${text}")
        string(REGEX REPLACE "\n[ \t]*\n[\n \t]*" ";" stanzas "${text}")
        foreach(stanza IN LISTS stanzas)
            if(stanza MATCHES "(^|\n)URIs:")
                string(REPLACE "<semicolon>" ";" stanza "${stanza}")
                math(EXPR archive "${archive} + 1")
                file(WRITE "${etc}/single/${archive}/${name}" "${stanza}\n")
            endif()
        endforeach()
    endforeach()
    foreach(file IN LISTS one_line_files)
        file(STRINGS "${file}" lines REGEX "^[ \t]*deb[ \t]")
        list(TRANSFORM lines REPLACE "^[ \t]*deb[ \t]" "deb-src ")
        if(lines)
            get_filename_component(name "${file}" NAME)
            list(JOIN lines "\n" text)
            file(WRITE "${etc}/sources.list.d/${name}.list" "${text}\n")
            set(found TRUE)
            foreach(line IN LISTS lines)
                math(EXPR archive "${archive} + 1")
                file(WRITE "${etc}/single/${archive}/${name}.list" "${line}\n")
            endforeach()
        endif()
    endforeach()
    if(NOT found)
        message(FATAL_ERROR "VELDRANOX: no apt sources on this machine to take Debian's source packages from")
    endif()
    set(${out_options}
        -o "Dir::Etc::SourceList=${etc}/none.list"
        -o "Dir::Etc::SourceParts=${etc}/sources.list.d"
        -o "Dir::State=${apt_dir}/state"
        -o "Dir::Cache=${apt_dir}/cache"
        -o "Debug::NoLocking=true"
        PARENT_SCOPE)
endfunction()

# The newest version apt knows of. A mirror may list a version it does not serve (it happens with the security
# archive's sources), or list one version in two archives and serve it from only one of them, which apt, trying
# only the first, then fails to fetch: so next each archive alone, every version it lists, newest first.
function(veldranox_fetch_source package into apt_dir apt_options)
    execute_process(COMMAND apt-get -q ${apt_options} source --only-source "${package}"
                    WORKING_DIRECTORY "${into}" RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
    if(status EQUAL 0)
        return()
    endif()
    file(GLOB archives LIST_DIRECTORIES true "${apt_dir}/etc/single/*")
    list(SORT archives COMPARE NATURAL)
    foreach(archive IN LISTS archives)
        # A later -o overrides an earlier one: the same state and lists, this archive's sources alone.
        set(options ${apt_options} -o "Dir::Etc::SourceParts=${archive}")
        execute_process(COMMAND apt-cache ${options} showsrc --only-source "${package}"
                        OUTPUT_VARIABLE records ERROR_QUIET)
        string(REGEX MATCHALL "\nVersion: [^\n]+" versions "\n${records}")
        list(TRANSFORM versions REPLACE "\nVersion: " "")
        list(REMOVE_DUPLICATES versions)
        foreach(version IN LISTS versions)
            file(REMOVE_RECURSE "${into}")
            file(MAKE_DIRECTORY "${into}")
            execute_process(COMMAND apt-get -q ${options} source --only-source "${package}=${version}"
                            WORKING_DIRECTORY "${into}" RESULT_VARIABLE status OUTPUT_QUIET ERROR_QUIET)
            if(status EQUAL 0)
                return()
            endif()
        endforeach()
    endforeach()
    # Last, a mirror that serves a package's tarballs but not its .dsc (met with Debian 13's libpng and
    # libjpeg-turbo): unpack them as dpkg-source would, the upstream tarball and, where it is served too,
    # Debian's part with its patch series applied.
    file(REMOVE_RECURSE "${into}")
    file(MAKE_DIRECTORY "${into}")
    execute_process(COMMAND apt-get -q ${apt_options} source --download-only --only-source "${package}"
                    WORKING_DIRECTORY "${into}" OUTPUT_QUIET ERROR_QUIET)
    file(GLOB upstream "${into}/*.orig.tar.*")
    if(NOT upstream)
        message(FATAL_ERROR "VELDRANOX: apt could not fetch the source package ${package}:\n${output}")
    endif()
    message(STATUS "VELDRANOX: the mirror serves no .dsc of ${package}: unpacking its tarballs")
    veldranox_run(${CMAKE_COMMAND} -E chdir "${into}" ${CMAKE_COMMAND} -E tar xf "${upstream}")
    file(GLOB source_dir LIST_DIRECTORIES true "${into}/*/CMakeLists.txt")
    list(GET source_dir 0 source_dir)
    get_filename_component(source_dir "${source_dir}" DIRECTORY)
    file(GLOB debian_part "${into}/*.debian.tar.*")
    if(debian_part)
        veldranox_run(${CMAKE_COMMAND} -E chdir "${source_dir}" ${CMAKE_COMMAND} -E tar xf "${debian_part}")
        if(EXISTS "${source_dir}/debian/patches/series")
            file(STRINGS "${source_dir}/debian/patches/series" series REGEX "^[^#]")
            foreach(entry IN LISTS series)
                string(STRIP "${entry}" entry)
                separate_arguments(entry UNIX_COMMAND "${entry}")
                list(POP_FRONT entry patch_file)
                if(NOT entry)
                    set(entry -p1)
                endif()
                veldranox_run(patch -s -d "${source_dir}" ${entry} -i "${source_dir}/debian/patches/${patch_file}")
            endforeach()
        endif()
    endif()
endfunction()

function(veldranox_build_windows_libraries)
    set(stamp "${VELDRANOX_WINDOWS_PREFIX}/built-from.txt")
    if(EXISTS "${stamp}")
        return()
    endif()

    foreach(tool apt-get dpkg-source)
        find_program(VELDRANOX_${tool} ${tool})
        if(NOT VELDRANOX_${tool})
            message(FATAL_ERROR "VELDRANOX: ${tool} is needed to build the Windows libraries "
                                "(scripts/install-deps.sh --windows installs it)")
        endif()
    endforeach()

    set(apt_dir "${VELDRANOX_DEBIAN_SOURCES_DIR}/apt")
    veldranox_prepare_source_apt("${apt_dir}" apt_options)
    message(STATUS "VELDRANOX: fetching Debian's sources of ${VELDRANOX_WINDOWS_LIBRARY_PACKAGES}")
    veldranox_run(apt-get -q ${apt_options} update)

    # Only the Windows libraries' own pkg-config files, never the build machine's.
    set(ENV{PKG_CONFIG_LIBDIR} "${VELDRANOX_WINDOWS_PREFIX}/lib/pkgconfig")

    set(work "${VELDRANOX_DEBIAN_SOURCES_DIR}/work")
    file(REMOVE_RECURSE "${work}" "${VELDRANOX_WINDOWS_PREFIX}")
    file(MAKE_DIRECTORY "${work}")
    set(built "")

    foreach(package IN LISTS VELDRANOX_WINDOWS_LIBRARY_PACKAGES)
        file(MAKE_DIRECTORY "${work}/${package}")
        veldranox_fetch_source("${package}" "${work}/${package}" "${apt_dir}" "${apt_options}")
        file(GLOB source_dir LIST_DIRECTORIES true "${work}/${package}/*/CMakeLists.txt")
        list(GET source_dir 0 source_dir)
        get_filename_component(source_dir "${source_dir}" DIRECTORY)
        file(GLOB dsc "${work}/${package}/*.dsc" "${work}/${package}/*.debian.tar.*" "${work}/${package}/*.orig.tar.*")
        list(GET dsc 0 dsc)
        get_filename_component(version "${dsc}" NAME)
        string(REGEX REPLACE "\\.(dsc|debian\\.tar\\..*|orig\\.tar\\..*)$" "" version "${version}")
        message(STATUS "VELDRANOX: building ${version} for Windows")

        set(build_dir "${work}/${package}/build")
        veldranox_run(${CMAKE_COMMAND} -S "${source_dir}" -B "${build_dir}" -G "${CMAKE_GENERATOR}"
                      "-DCMAKE_TOOLCHAIN_FILE=${CMAKE_TOOLCHAIN_FILE}"
                      -DCMAKE_BUILD_TYPE=Release
                      "-DCMAKE_INSTALL_PREFIX=${VELDRANOX_WINDOWS_PREFIX}"
                      "-DCMAKE_PREFIX_PATH=${VELDRANOX_WINDOWS_PREFIX}"
                      "-DCMAKE_FIND_ROOT_PATH=/usr/${VELDRANOX_MINGW_TRIPLET};${VELDRANOX_WINDOWS_PREFIX}"
                      "-DCMAKE_C_COMPILER_LAUNCHER=${VELDRANOX_CCACHE}"
                      -DCMAKE_POLICY_DEFAULT_CMP0074=NEW
                      ${VELDRANOX_${package}_OPTIONS})
        veldranox_run(${CMAKE_COMMAND} --build "${build_dir}" --parallel 2)
        veldranox_run(${CMAKE_COMMAND} --install "${build_dir}")
        string(APPEND built "${version}\n")

        if(package STREQUAL "libjpeg-turbo")
            # JUCE's JPEG code includes jpegint.h, which the library keeps to itself.
            file(COPY "${source_dir}/jpegint.h" DESTINATION "${VELDRANOX_WINDOWS_PREFIX}/include")
            # JUCE includes jpeglib.h inside a namespace of its own and names jpeglibNamespace::boolean, which
            # the Windows jconfig.h leaves undeclared once the Windows headers have declared ::boolean. The
            # typedef is the same as theirs, so declaring it again is harmless.
            set(jconfig "${VELDRANOX_WINDOWS_PREFIX}/include/jconfig.h")
            file(READ "${jconfig}" text)
            string(REGEX REPLACE "#ifndef __RPCNDR_H__[^\n]*\n(typedef unsigned char boolean;)\n#endif" "\\1"
                   patched "${text}")
            if(patched STREQUAL text)
                message(FATAL_ERROR "VELDRANOX: ${jconfig} no longer looks as expected; see the fix-up above")
            endif()
            file(WRITE "${jconfig}" "${patched}")
        endif()
    endforeach()

    file(REMOVE_RECURSE "${work}")
    file(WRITE "${stamp}" "${built}")
endfunction()
