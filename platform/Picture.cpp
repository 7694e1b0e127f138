#include "platform/Picture.h"

#include <algorithm>
#include <cmath>

#include "platform/Error.h"

namespace ponderix::platform {

std::string ScaledFileName(std::string_view file, float scale) {
    const long percent = std::lround(scale * 100.0f);
    if (percent == 100) {
        return std::string(file);
    }
    std::string factor = std::to_string(percent / 100);
    if (const long hundredths = percent % 100; hundredths != 0) {
        factor += '.';
        factor += hundredths % 10 == 0 ? std::to_string(hundredths / 10)
                                       : std::to_string(hundredths + 100).substr(1);
    }
    const std::size_t dot = file.rfind('.');
    const std::string_view stem = file.substr(0, dot);
    const std::string_view extension = dot == std::string_view::npos ? "" : file.substr(dot);
    return std::string(stem) + "@" + factor + "x" + std::string(extension);
}

float NearestDrawnScale(float screen, std::span<const float> drawn) {
    float best = 1.0f;
    for (const float scale : drawn) {
        const float distance = std::fabs(scale - screen);
        const float bestDistance = std::fabs(best - screen);
        if (distance < bestDistance || (distance == bestDistance && scale < best)) {
            best = scale;
        }
    }
    return best;
}

Picture Picture::WithScaledSets(Bitmap bitmap, std::span<const float> scales, SetLoader load) {
    Picture picture = FromBitmap(std::move(bitmap));
    picture.m_Sets = std::make_shared<ScaledSets>(
        ScaledSets{std::vector<float>(scales.begin(), scales.end()), std::move(load), {}});
    return picture;
}

const Bitmap& Picture::Pixels() const {
    if (!m_Bitmap) {
        throw PlatformError("the picture is empty");
    }
    return *m_Bitmap;
}

const Bitmap& Picture::PixelsFor(float scale) const {
    const Bitmap& natural = Pixels();
    if (!m_Sets) {
        return natural;
    }
    for (;;) {
        const float chosen = NearestDrawnScale(scale, m_Sets->Scales);
        if (chosen == 1.0f) {
            return natural;
        }
        const auto read =
            std::find_if(m_Sets->Read.begin(), m_Sets->Read.end(),
                         [chosen](const auto& entry) { return entry.first == chosen; });
        if (read != m_Sets->Read.end()) {
            return read->second;
        }
        std::optional<Bitmap> loaded;
        try {
            loaded = m_Sets->Load(chosen);
        } catch (const PlatformError&) {  // a set that cannot be read is not there
        }
        if (loaded && loaded->Width > 0 && loaded->Height > 0) {
            return m_Sets->Read.emplace_back(chosen, std::move(*loaded)).second;
        }
        std::erase(m_Sets->Scales, chosen);  // not drawn: never asked for again
    }
}

Bitmap ScaledNearest(const Bitmap& bitmap, int width, int height) {
    if (width <= 0 || height <= 0 || bitmap.Width <= 0 || bitmap.Height <= 0) {
        return {};
    }
    if (width == bitmap.Width && height == bitmap.Height) {
        return bitmap;
    }
    Bitmap scaled{width, height, {}};
    scaled.Pixels.reserve(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    // Each source pixel covers the pixels of the result that its edges,
    // scaled and put on the grid as ToWholePixels puts edges (halves up),
    // enclose: pixel x of the result is the source pixel i with
    // i * from / to < x + 1/2 <= (i + 1) * from / to.
    const auto source = [](int at, int from, int to) {
        const long long above = ((2LL * at + 1) * from + 2LL * to - 1) / (2LL * to);  // ceiling
        return static_cast<int>(std::clamp<long long>(above - 1, 0, from - 1));
    };
    std::vector<int> columns(static_cast<std::size_t>(width));
    for (int x = 0; x < width; ++x) {
        columns[static_cast<std::size_t>(x)] = source(x, bitmap.Width, width);
    }
    for (int y = 0; y < height; ++y) {
        const int row = source(y, bitmap.Height, height);
        for (const int column : columns) {
            scaled.Pixels.push_back(bitmap.At(column, row));
        }
    }
    return scaled;
}

WholePixelRect PictureArea(const Picture& picture, float scale, float left, float top) {
    return ToWholePixels({left, top, static_cast<float>(picture.Width()) * scale,
                          static_cast<float>(picture.Height()) * scale});
}

const Bitmap& ScaledPicture::Pixels(const Picture& picture, float scale, int width, int height) {
    const Bitmap& set = picture.PixelsFor(scale);
    if (set.Width == width && set.Height == height) {
        return set;  // as drawn
    }
    if (!(picture == m_Picture) || scale != m_Scale || m_Scaled.Width != width ||
        m_Scaled.Height != height || m_Scaled.Pixels.empty()) {
        m_Picture = picture;
        m_Scale = scale;
        m_Scaled = ScaledNearest(set, width, height);
    }
    return m_Scaled;
}

}  // namespace ponderix::platform
