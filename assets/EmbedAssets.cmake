# Writes a C++ source that holds the bytes of each asset file, run as
#   cmake -DSOURCE_DIR=<assets folder> -DNAMES=<a.bmp,b.cur,...> -DOUTPUT=<file.cpp> -P EmbedAssets.cmake
# The file names come comma-separated so that the list survives the build tool's
# command line.
cmake_minimum_required(VERSION 3.25)

string(REPLACE "," ";" names "${NAMES}")

string(REPEAT "[0-9a-f]" 48 line_of_hex)

set(arrays "")
set(entries "")
foreach(name IN LISTS names)
    file(READ "${SOURCE_DIR}/${name}" hex HEX)
    string(LENGTH "${hex}" length)
    if(length EQUAL 0)
        message(FATAL_ERROR "asset ${name} is empty")
    endif()
    math(EXPR size "${length} / 2")
    # 24 bytes to a line, each written 0xNN.
    string(REGEX REPLACE "(${line_of_hex})" "\\1\n" hex "${hex}")
    string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," hex "${hex}")
    string(MAKE_C_IDENTIFIER "${name}" symbol)
    string(APPEND arrays "// ${name}, ${size} bytes\nconst std::uint8_t ${symbol}[] = {\n${hex}\n};\n\n")
    string(APPEND entries "    {\"${name}\", std::span<const std::uint8_t>(${symbol}, ${size})},\n")
endforeach()

set(content "// Generated from the files in assets/ by EmbedAssets.cmake: do not edit.
#include \"assets/EmbeddedFiles.h\"

namespace ponderix::assets::detail {

namespace {

${arrays}const EmbeddedFile files[] = {
${entries}};

}  // namespace

std::span<const EmbeddedFile> EmbeddedFiles() { return files; }

}  // namespace ponderix::assets::detail
")

# Rewritten only when something changed, so that an unchanged asset set does not
# recompile.
set(existing "")
if(EXISTS "${OUTPUT}")
    file(READ "${OUTPUT}" existing)
endif()
if(NOT existing STREQUAL content)
    file(WRITE "${OUTPUT}" "${content}")
endif()
