# The real program started where it has no display to open: each case must end
# with exit code 1 and one line on the standard error stream that says it
# needs a graphical display, and write nothing else, whatever Qt's platform
# plugins and the libraries they load would say themselves.
# Run as: cmake -DPROGRAM=<ponderix> -P StartWithoutDisplay.cmake
cmake_minimum_required(VERSION 3.25)

# An X display number that no server listens on here.
set(number 4242)
while(EXISTS "/tmp/.X11-unix/X${number}" OR EXISTS "/tmp/.X${number}-lock")
    math(EXPR number "${number} + 1")
endwhile()

# Each case: a name, then the variables to set (NAME=VALUE), ';'-separated.
set(cases
    "nothing set|"
    "an X display nobody serves|DISPLAY=:${number}"
    "the X platform asked for, no display|QT_QPA_PLATFORM=xcb"
    "only a Wayland display that is not there|WAYLAND_DISPLAY=ponderix-missing-${number}"
    "a Wayland display and an X display, neither there|WAYLAND_DISPLAY=ponderix-missing-${number}|DISPLAY=:${number}"
    "a Wayland session that names no display|XDG_SESSION_TYPE=wayland|XDG_RUNTIME_DIR=${CMAKE_CURRENT_LIST_DIR}"
)
set(failures "")
foreach(case IN LISTS cases)
    string(REPLACE "|" ";" parts "${case}")
    list(GET parts 0 name)
    list(SUBLIST parts 1 -1 variables)
    list(FILTER variables EXCLUDE REGEX "^$")
    execute_process(
        COMMAND ${CMAKE_COMMAND} -E env
            --unset=DISPLAY --unset=WAYLAND_DISPLAY --unset=WAYLAND_SOCKET
            --unset=QT_QPA_PLATFORM --unset=XDG_SESSION_TYPE
            ${variables} "${PROGRAM}"
        RESULT_VARIABLE code
        OUTPUT_VARIABLE out
        ERROR_VARIABLE err
        TIMEOUT 30)
    string(REGEX MATCHALL "\n" newlines "${err}")
    list(LENGTH newlines lines)
    if(NOT code STREQUAL "1")
        list(APPEND failures "${name}: exit code ${code}, not 1")
    endif()
    if(NOT lines EQUAL 1 OR NOT err MATCHES "^ponderix: needs a graphical display")
        list(APPEND failures "${name}: said '${err}'")
    endif()
    if(NOT out STREQUAL "")
        list(APPEND failures "${name}: wrote '${out}' to the standard output")
    endif()
endforeach()

if(failures)
    list(JOIN failures "\n  " report)
    message(FATAL_ERROR "without a display:\n  ${report}")
endif()
