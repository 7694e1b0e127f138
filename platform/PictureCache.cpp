#include "platform/PictureCache.h"

namespace ponderix::platform {

Picture PictureCache::Load(AssetName asset) {
    if (const auto cached = m_Pictures.find(asset.File); cached != m_Pictures.end()) {
        return cached->second;
    }
    Picture picture = Picture::FromBitmap(m_Decode(asset.File));
    m_Pictures.emplace(std::string(asset.File), picture);
    return picture;
}

}  // namespace ponderix::platform
