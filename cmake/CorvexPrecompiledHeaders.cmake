# CI compiles everything from scratch, and most of a file's compile time is spent parsing the same big headers:
# JUCE's GUI headers take about 3 s of a 4-5 s editor file, GoogleTest's about 2 s of a test file. Each target
# listed here parses them once, into a precompiled header its files start from.
option(CORVEX_PCH "Precompile the JUCE and GoogleTest headers once per target" ON)

# corvex_precompile(HEADERS <header>... TARGETS <target>...): targets that this configuration does not build
# are skipped, so one list serves the normal, sanitizer and fuzz builds.
function(corvex_precompile)
    cmake_parse_arguments(PCH "" "" "HEADERS;TARGETS" ${ARGN})
    if(NOT CORVEX_PCH)
        return()
    endif()
    set(headers)
    foreach(header IN LISTS PCH_HEADERS)
        # A target's C files (none today) must not get a C++ header.
        list(APPEND headers "$<$<COMPILE_LANGUAGE:CXX>:<${header}>>")
    endforeach()
    foreach(target IN LISTS PCH_TARGETS)
        if(TARGET ${target})
            target_precompile_headers(${target} PRIVATE ${headers})
        endif()
    endforeach()
endfunction()
