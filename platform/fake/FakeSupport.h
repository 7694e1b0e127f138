// Where things lie on the fake's virtual screen, for its window system, its
// windows and their surfaces alike.
#pragma once

#include "platform/Units.h"
#include "platform/WindowSystem.h"

namespace ponderix::platform::fake {

inline bool Contains(const WholePixelRect& rect, ScreenPoint point) {
    return point.X >= rect.Left && point.X < rect.Left + rect.Width && point.Y >= rect.Top &&
           point.Y < rect.Top + rect.Height;
}

inline WholePixelRect Offset(const WholePixelRect& rect, ScreenPoint origin) {
    return {origin.X + rect.Left, origin.Y + rect.Top, rect.Width, rect.Height};
}

}  // namespace ponderix::platform::fake
