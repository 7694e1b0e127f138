// The program's pictures, each decoded once and then shared: every control that
// shows a picture gets the same object. The sets a picture is drawn in for
// larger screens are decoded when a screen of their scale first shows them.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <string_view>

#include "platform/Layout.h"
#include "platform/Picture.h"

namespace ponderix::platform {

class PictureCache {
public:
    // Decodes the picture file of that name; throws PlatformError when there is none.
    using Decoder = std::function<Bitmap(std::string_view file)>;

    explicit PictureCache(Decoder decode) : m_Decode(std::move(decode)) {}

    Picture Load(AssetName asset);

private:
    Decoder m_Decode;
    std::map<std::string, Picture, std::less<>> m_Pictures;
};

}  // namespace ponderix::platform
