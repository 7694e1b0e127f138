# Helpers shared by every folder: the warning set (errors where developers
# build, see PONDERIX_WARNINGS_AS_ERRORS), the way a GoogleTest binary
# becomes a CTest test, and a fuzzer.

function(ponderix_warnings target)
    if(MSVC)
        target_compile_options(${target} PRIVATE /W4)
        if(PONDERIX_WARNINGS_AS_ERRORS)
            target_compile_options(${target} PRIVATE /WX)
        endif()
    else()
        target_compile_options(${target} PRIVATE
            -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wconversion
            -Wold-style-cast -Wcast-qual -Wimplicit-fallthrough)
        if(PONDERIX_WARNINGS_AS_ERRORS)
            target_compile_options(${target} PRIVATE -Werror)
        endif()
    endif()
endfunction()

# ponderix_library(<name> SOURCES ... [DEPENDS ...])
# A layer of the program: one static library whose headers are included from the
# project root ("calc/Bmi.h"), so an include names the folder it comes from.
function(ponderix_library name)
    cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS" ${ARGN})
    add_library(${name} STATIC ${ARG_SOURCES})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
    target_compile_features(${name} PUBLIC cxx_std_20)
    if(ARG_DEPENDS)
        target_link_libraries(${name} PUBLIC ${ARG_DEPENDS})
    endif()
    ponderix_warnings(${name})
endfunction()

# ponderix_test(<name> SOURCES ... [DEPENDS ...])
# A GoogleTest binary linked against the libraries it tests (never their sources).
# Natively every test case is its own CTest test; in a cross build (run through
# CMAKE_CROSSCOMPILING_EMULATOR, i.e. Wine) the whole binary is one test, since
# starting the emulator once per case would cost more than the cases themselves.
function(ponderix_test name)
    cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_DEPENDS} GTest::gtest GTest::gtest_main)
    ponderix_warnings(${name})
    if(CMAKE_CROSSCOMPILING)
        add_test(NAME ${name} COMMAND ${name})
    else()
        gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST)
    endif()
endfunction()

# ponderix_fuzzer(<name> SOURCE <file> LIBRARY <library>)
# A libFuzzer target with ASan and UBSan (the fuzz preset, clang++). The library
# it exercises gets the coverage instrumentation too, so that the fuzzer is
# steered by the library's branches and not only by the target's.
function(ponderix_fuzzer name)
    cmake_parse_arguments(ARG "" "SOURCE;LIBRARY" "" ${ARGN})
    if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
        message(FATAL_ERROR "PONDERIX_FUZZ needs clang++ (libFuzzer): use the fuzz preset")
    endif()
    set(sanitizers -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
    target_compile_options(${ARG_LIBRARY} PRIVATE -fsanitize=fuzzer-no-link ${sanitizers})
    add_executable(${name} ${ARG_SOURCE})
    target_compile_options(${name} PRIVATE -fsanitize=fuzzer ${sanitizers})
    target_link_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
    target_link_libraries(${name} PRIVATE ${ARG_LIBRARY})
    ponderix_warnings(${name})
endfunction()
