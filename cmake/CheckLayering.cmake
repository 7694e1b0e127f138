# Fails when a layer includes what it may not: a layer above it, or a toolkit.
# Dependencies point inward; only the backends know their toolkit, and only the
# program's entry points (app/) know everything.
# Run as: cmake -DROOT=<source dir> -P CheckLayering.cmake
cmake_minimum_required(VERSION 3.25)

# Each layer: its folder, then the layers and toolkits it may include (besides
# itself and the standard library). A file belongs to the layer of the longest
# folder that holds it; an include names the layer of the longest folder it
# starts with.
set(layers calc platform core settings assets controls fake qt win32 ui app)
set(folder_calc calc)
set(folder_platform platform)        # its root: the window-system interface
set(folder_core platform/core)       # the window core every backend is built on
set(folder_settings platform/settings)
set(folder_assets assets)
set(folder_controls controls)
set(folder_fake platform/fake)
set(folder_qt platform/qt)
set(folder_win32 platform/win32)
set(folder_ui ui)
set(folder_app app)

# The interface knows nothing of the core beneath it, nor the windows and
# controls of either: they see the interface alone.
set(allowed_calc "")
set(allowed_platform calc)
set(allowed_core platform)
set(allowed_settings "")
set(allowed_assets platform)
set(allowed_controls platform calc)
set(allowed_fake platform core assets calc)
set(allowed_qt platform core settings assets calc Qt X11)
set(allowed_win32 platform core assets calc Windows)
set(allowed_ui calc platform controls)
set(allowed_app calc platform assets controls fake qt win32 ui Qt Windows)

# Tests may also include the layers their programs link, but never a toolkit
# their layer may not use.
set(toolkit_Qt "^(Q[A-Za-z]+|Qt[A-Za-z]*/.*)$")
set(toolkit_Windows "^(windows|winuser|wingdi|winbase|shellapi|objbase|oleacc|commctrl|shlobj|winreg|shellscalingapi)\\.h$")
# The X server's own interfaces, which the Qt backend reaches past Qt.
set(toolkit_X11 "^(xcb|X11)/.*$")

function(layer_of path result)
    set(found "")
    set(found_length 0)
    foreach(layer IN LISTS layers)
        set(folder "${folder_${layer}}")
        string(LENGTH "${folder}" length)
        string(FIND "${path}" "${folder}/" at)
        if(at EQUAL 0 AND length GREATER found_length)
            set(found ${layer})
            set(found_length ${length})
        endif()
    endforeach()
    set(${result} "${found}" PARENT_SCOPE)
endfunction()

set(offenders "")
foreach(layer IN LISTS layers)
    file(GLOB_RECURSE sources RELATIVE "${ROOT}"
         "${ROOT}/${folder_${layer}}/*.h" "${ROOT}/${folder_${layer}}/*.cpp")
    foreach(source IN LISTS sources)
        layer_of("${source}" owner)
        if(NOT owner STREQUAL layer)
            continue()  # a file of a nested layer, checked there
        endif()
        string(FIND "${source}" "/tests/" in_tests)
        file(STRINGS "${ROOT}/${source}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]")
        foreach(line IN LISTS includes)
            string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*[<\"]([^>\"]+)[>\"].*$" "\\1" target "${line}")
            set(needs "")
            foreach(toolkit Qt Windows X11)
                if(target MATCHES "${toolkit_${toolkit}}")
                    set(needs ${toolkit})
                endif()
            endforeach()
            if(NOT needs)
                layer_of("${target}" needs)
            endif()
            if(NOT needs OR needs STREQUAL layer)
                continue()
            endif()
            if(NOT in_tests EQUAL -1 AND NOT needs MATCHES "^(Qt|Windows|X11)$")
                continue()
            endif()
            if(NOT needs IN_LIST allowed_${layer})
                list(APPEND offenders "${source} (${layer}) includes ${target} (${needs})")
            endif()
        endforeach()
    endforeach()
endforeach()

if(offenders)
    list(JOIN offenders "\n  " report)
    message(FATAL_ERROR "includes against the layering:\n  ${report}")
endif()
