#include "assets/Assets.h"

#include "assets/EmbeddedFiles.h"

namespace ponderix::assets {

std::span<const std::uint8_t> FindAsset(std::string_view fileName) {
    for (const detail::EmbeddedFile& file : detail::EmbeddedFiles()) {
        if (file.Name == fileName) {
            return file.Bytes;
        }
    }
    return {};
}

}  // namespace ponderix::assets
