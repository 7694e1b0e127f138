// A user control on its own surface window. What the control draws goes into
// a face of the surface's size, and WM_PAINT shows that face: it stays as drawn
// however often the window is covered and uncovered, although the control
// itself draws only when its state changes. While the surface has the focus in
// a window that shows focus cues, the cue is painted over the face. The
// surface answers screen readers for its control (Win32Accessible.h).
#pragma once

#include <cstdint>

#include "platform/core/CoreUserControlHost.h"
#include "platform/win32/Win32Controls.h"

namespace ponderix::platform::win32::detail {

class Win32UserControlSurface final : public Windowed<core::UserControlHost>, public MessageTarget {
public:
    Win32UserControlSurface(const core::ControlArgs& args,
                            const UserControlClass& userControlClass);

    LRESULT HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override;
    void KeyboardCuesShown() override;

protected:
    void ClearNative() override;
    void DrawNative(const Picture& picture) override;
    // The face takes the surface's size, keeping what it shows.
    void Place(const WholePixelRect& rect) override;

private:
    void OnButtonDown(std::int16_t button, WPARAM keys, LPARAM point);
    void OnButtonUp(std::int16_t button, WPARAM keys, LPARAM point);
    // The face, with the focus cue over it while the surface shows one.
    void PaintFace(HDC dc) const;

    Bitmap m_Face;
    ScaledPicture m_Shown;            // the picture drawn last, on this screen
    bool m_ReleasingCapture = false;  // our own release takes nothing away
};

}  // namespace ponderix::platform::win32::detail
