# Fails when a source file outside host/ includes an SDL header. SDL belongs to host/ alone;
# besides it only the host tests (which check the SDL backend) and the benchmarks (which
# measure SDL's own paths beside ours) may see it.
#   cmake -DSOURCE_DIR=<project source> -P CheckSdlConfinement.cmake
if(NOT SOURCE_DIR)
    message(FATAL_ERROR "SOURCE_DIR not set")
endif()

set(allowed "^(host|tests/host|bench)/")
file(GLOB top RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/*)
set(offenders)
set(checked 0)
foreach(dir ${top})
    # Build trees and hidden folders hold no sources of ours.
    if(NOT IS_DIRECTORY ${SOURCE_DIR}/${dir} OR dir MATCHES "^(build.*|\\..*)$")
        continue()
    endif()
    file(GLOB_RECURSE sources RELATIVE ${SOURCE_DIR}
         ${SOURCE_DIR}/${dir}/*.h ${SOURCE_DIR}/${dir}/*.hpp ${SOURCE_DIR}/${dir}/*.c
         ${SOURCE_DIR}/${dir}/*.cc ${SOURCE_DIR}/${dir}/*.cpp)
    foreach(file ${sources})
        if(file MATCHES "${allowed}")
            continue()
        endif()
        math(EXPR checked "${checked} + 1")
        file(STRINGS ${SOURCE_DIR}/${file} hits
             REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"](SDL2/)?SDL[A-Za-z0-9_]*\\.h[>\"]")
        if(hits)
            list(APPEND offenders "  ${file}: ${hits}")
        endif()
    endforeach()
endforeach()

if(checked EQUAL 0)
    message(FATAL_ERROR "no source files found under ${SOURCE_DIR}")
endif()
if(offenders)
    list(JOIN offenders "\n" report)
    message(FATAL_ERROR "SDL included outside host/:\n${report}")
endif()
message(STATUS "${checked} files outside host/ checked: none includes SDL")
