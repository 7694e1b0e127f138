# ponderix_source_date(<variable> <source folder>): the time the packages'
# files are dated with, in seconds since 1970: SOURCE_DATE_EPOCH when set (so
# that a rebuild elsewhere, from a copy without git, can be given the same
# one), else the time of the last commit of the git checkout. Never the time
# of the build, which would make every build's bytes differ.
function(ponderix_source_date result source_folder)
    if(DEFINED ENV{SOURCE_DATE_EPOCH})
        set(epoch "$ENV{SOURCE_DATE_EPOCH}")
        set(origin "SOURCE_DATE_EPOCH")
    else()
        execute_process(COMMAND git -C "${source_folder}" log -1 --format=%ct
            OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET
            RESULT_VARIABLE failed)
        if(failed)
            set(epoch "")
        endif()
        set(origin "the last commit of ${source_folder}")
    endif()
    if(NOT epoch MATCHES "^[0-9]+$")
        message(FATAL_ERROR "The packages' files are dated from SOURCE_DATE_EPOCH (seconds "
            "since 1970) or, in a git checkout, from its last commit: ${origin} gives "
            "'${epoch}'")
    endif()
    set(${result} ${epoch} PARENT_SCOPE)
endfunction()
