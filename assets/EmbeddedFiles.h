// Between Assets.cpp and the source that EmbedAssets.cmake writes at build time
// with the bytes of every asset file. Not for use outside this folder.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace ponderix::assets::detail {

struct EmbeddedFile {
    std::string_view Name;
    std::span<const std::uint8_t> Bytes;
};

std::span<const EmbeddedFile> EmbeddedFiles();

}  // namespace ponderix::assets::detail
