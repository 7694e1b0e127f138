#include "platform/core/FocusCue.h"

namespace ponderix::platform {

bool IsFocusCueDot(int x, int y, int width, int height) {
    const int left = FocusCueInset;
    const int top = FocusCueInset;
    const int right = width - 1 - FocusCueInset;
    const int bottom = height - 1 - FocusCueInset;
    if (right <= left || bottom <= top || x < left || x > right || y < top || y > bottom) {
        return false;
    }
    const bool onEdge = x == left || x == right || y == top || y == bottom;
    return onEdge && (x + y) % 2 == 0;
}

Bitmap WithFocusCue(const Bitmap& face) {
    Bitmap shown = face;
    for (int y = 0; y < face.Height; ++y) {
        for (int x = 0; x < face.Width; ++x) {
            if (IsFocusCueDot(x, y, face.Width, face.Height)) {
                shown.Pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(face.Width) +
                             static_cast<std::size_t>(x)] ^= 0x00FFFFFFu;
            }
        }
    }
    return shown;
}

}  // namespace ponderix::platform
