#include "platform/core/HiddenPictureBox.h"

#include "platform/Units.h"

namespace ponderix::platform {

void HiddenPictureBox::SetPicture(Picture picture) {
    m_Picture = std::move(picture);
    if (!m_Picture.IsEmpty()) {
        m_Width = PixelsToTwips(static_cast<float>(m_Picture.Width()));
        m_Height = PixelsToTwips(static_cast<float>(m_Picture.Height()));
    }
}

}  // namespace ponderix::platform
