#include "assets/Assets.h"

#include <string>

#include "assets/EmbeddedFiles.h"
#include "platform/Error.h"

namespace ponderix::assets {

std::span<const std::uint8_t> FindAsset(std::string_view fileName) {
    for (const detail::EmbeddedFile& file : detail::EmbeddedFiles()) {
        if (file.Name == fileName) {
            return file.Bytes;
        }
    }
    return {};
}

platform::Bitmap DecodeAsset(std::string_view fileName) {
    const auto bytes = FindAsset(fileName);
    if (bytes.empty()) {
        throw platform::PlatformError("no picture named '" + std::string(fileName) + "'");
    }
    return platform::DecodeBmp(bytes);
}

}  // namespace ponderix::assets
