// The hidden, self-sizing picture box that user controls use to measure a
// picture. It never shows, so every backend uses this one implementation
// instead of a native window (a visible child would stand between the cursor
// and its parent in window-under-point queries).
#pragma once

#include "platform/UserControl.h"

namespace ponderix::platform {

class HiddenPictureBox final : public IPictureBox {
public:
    HiddenPictureBox(float widthTwips, float heightTwips)
        : m_Width(widthTwips), m_Height(heightTwips) {}

    void SetPicture(Picture picture) override;
    Picture GetPicture() const override { return m_Picture; }
    float Width() const override { return m_Width; }
    float Height() const override { return m_Height; }

private:
    Picture m_Picture;
    float m_Width;
    float m_Height;
};

}  // namespace ponderix::platform
