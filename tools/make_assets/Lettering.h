// The pictures that need a font renderer (Qt's, through QRawFont, which reads a
// font file by path so that no font configuration of the machine takes part):
// the calculate key's lettering and the publisher's banner.
//
// Needs a QGuiApplication.
#pragma once

#include "tools/make_assets/Encoders.h"
#include "tools/make_assets/Pictures.h"

#include <string>

namespace ponderix::tools {

struct Fonts {
    std::string SansBold;     // a bold sans-serif font file
    std::string SansRegular;  // its regular face
};

// The text in the bold font at the size whose capital H is capHeight pixels
// tall, cropped to the pixels it inks.
Coverage Lettering(const Fonts& fonts, const std::string& text, int capHeight);

// 375 x 60, opaque: the publisher's name and mark; drawn again, sharp, for
// a screen of another scale (ScaledSize of each side).
Canvas Banner(const Fonts& fonts, double scale = 1);

}  // namespace ponderix::tools
