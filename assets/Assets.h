// The pictures of the windows (background, keys, banner, hand cursor, program
// icon), built into the program so that it needs no files beside it. A layout
// asks for a picture by the name of its file in assets/ and decodes the bytes
// itself (platform/Bitmap.h).
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "platform/Bitmap.h"

namespace ponderix::assets {

// The bytes of the file of that name ("background.bmp"; exact case), or an empty
// span when there is no such file. The bytes live as long as the program.
std::span<const std::uint8_t> FindAsset(std::string_view fileName);

// The BMP file of that name, decoded; throws platform::PlatformError when there
// is no such file or it is not a picture.
platform::Bitmap DecodeAsset(std::string_view fileName);

}  // namespace ponderix::assets
