#include "platform/core/PictureCache.h"

namespace ponderix::platform {

Picture PictureCache::Load(AssetName asset) {
    if (const auto cached = m_Pictures.find(asset.File); cached != m_Pictures.end()) {
        return cached->second;
    }
    // The sets drawn for larger screens lie beside the file, under its name
    // with the scale ("key_help@2x.bmp"), and are read when first shown.
    Picture picture = Picture::WithScaledSets(
        m_Decode(asset.File), DrawnScales,
        [decode = m_Decode, file = std::string(asset.File)](float scale) -> std::optional<Bitmap> {
            return decode(ScaledFileName(file, scale));
        });
    m_Pictures.emplace(std::string(asset.File), picture);
    return picture;
}

}  // namespace ponderix::platform
