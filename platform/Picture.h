// A picture reference: one shared, immutable bitmap, or empty. Copying a
// Picture copies the reference, never the pixels, so a control that is given a
// picture keeps (and hands back) the very same object.
#pragma once

#include <memory>

#include "platform/Bitmap.h"

namespace ponderix::platform {

class Picture {
public:
    Picture() = default;  // empty
    explicit Picture(std::shared_ptr<const Bitmap> bitmap) : m_Bitmap(std::move(bitmap)) {}
    static Picture FromBitmap(Bitmap bitmap) {
        return Picture(std::make_shared<const Bitmap>(std::move(bitmap)));
    }

    bool IsEmpty() const { return m_Bitmap == nullptr; }
    int Width() const { return m_Bitmap ? m_Bitmap->Width : 0; }
    int Height() const { return m_Bitmap ? m_Bitmap->Height : 0; }

    // The pixels; throws PlatformError for an empty picture.
    const Bitmap& Pixels() const;

    // Two references are equal when they refer to the same object (or are both empty).
    friend bool operator==(const Picture& a, const Picture& b) { return a.m_Bitmap == b.m_Bitmap; }

private:
    std::shared_ptr<const Bitmap> m_Bitmap;
};

}  // namespace ponderix::platform
