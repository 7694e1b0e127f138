// The focus cue of a user control's surface: a dotted rectangle inside its
// face, as the desktop marks the focused button. Every backend draws it alike,
// over the face the control drew and never into it, so the cue comes and goes
// with the focus while the face stays the control's.
#pragma once

#include "platform/Bitmap.h"

namespace ponderix::platform {

// How far inside the surface's edges the rectangle runs, in pixels.
inline constexpr int FocusCueInset = 3;

// Whether the cue inverts the pixel at x, y of a surface of that size: every
// other pixel along the rectangle's edges. A surface too small for a
// rectangle inside it has no cue.
bool IsFocusCueDot(int x, int y, int width, int height);

// The face with the cue over it: each dot's colour inverted, its alpha kept.
Bitmap WithFocusCue(const Bitmap& face);

}  // namespace ponderix::platform
