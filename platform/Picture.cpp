#include "platform/Picture.h"

#include "platform/Error.h"

namespace ponderix::platform {

const Bitmap& Picture::Pixels() const {
    if (!m_Bitmap) {
        throw PlatformError("the picture is empty");
    }
    return *m_Bitmap;
}

}  // namespace ponderix::platform
