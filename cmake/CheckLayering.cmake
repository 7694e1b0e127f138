# Fails when a toolkit-free layer includes a toolkit header: the arithmetic,
# the picture button and the windows' code must build for any window system.
# Run as: cmake -DROOT=<source dir> -P CheckLayering.cmake
set(layers calc controls ui)
set(pattern "#[ \t]*include[ \t]*[<\"](Q[A-Za-z]+|Qt[A-Za-z]*/|windows\\.h|winuser\\.h|shellapi\\.h|commctrl\\.h|X11/)")
set(offenders "")
foreach(layer IN LISTS layers)
    file(GLOB_RECURSE sources "${ROOT}/${layer}/*.h" "${ROOT}/${layer}/*.cpp")
    foreach(source IN LISTS sources)
        file(STRINGS "${source}" hits REGEX "${pattern}")
        if(hits)
            list(APPEND offenders "${source}: ${hits}")
        endif()
    endforeach()
endforeach()
if(offenders)
    list(JOIN offenders "\n" report)
    message(FATAL_ERROR "toolkit headers in toolkit-free layers:\n${report}")
endif()
