#include "tools/make_assets/Encoders.h"

#include <QtCore/QByteArray>

#include <algorithm>
#include <array>
#include <fstream>
#include <map>
#include <stdexcept>

namespace ponderix::tools {

namespace {

constexpr std::uint32_t PixelsPerMetre = 3780;  // 96 dots per inch
constexpr std::uint32_t BiRgb = 0;
constexpr std::uint32_t BiRle8 = 1;
constexpr std::uint32_t BiBitfields = 3;
constexpr std::uint32_t LcsSrgb = 0x73524742;  // 'sRGB'
constexpr std::uint32_t LcsGmImages = 4;

class Writer {
public:
    explicit Writer(FileBytes& out) : out_(out) {}
    void U8(std::uint32_t v) { out_.push_back(static_cast<std::uint8_t>(v & 0xFF)); }
    void U16(std::uint32_t v) {
        U8(v);
        U8(v >> 8);
    }
    void U32(std::uint32_t v) {
        U16(v & 0xFFFF);
        U16(v >> 16);
    }
    void I32(std::int32_t v) { U32(static_cast<std::uint32_t>(v)); }
    void Zeros(std::size_t count) { out_.insert(out_.end(), count, 0); }

private:
    FileBytes& out_;
};

std::uint32_t U32(std::size_t v) {
    if (v > 0xFFFFFFFFu) {
        throw std::runtime_error("picture too large for its format");
    }
    return static_cast<std::uint32_t>(v);
}

std::size_t RowStride(int width, int bitCount) {
    return (static_cast<std::size_t>(width) * static_cast<std::size_t>(bitCount) + 31) / 32 * 4;
}

std::uint8_t Byte(std::uint32_t v) {
    return static_cast<std::uint8_t>(v & 0xFF);
}

void FileHeader(Writer& w, std::size_t fileSize, std::size_t pixelOffset) {
    w.U8('B');
    w.U8('M');
    w.U32(U32(fileSize));
    w.U32(0);
    w.U32(U32(pixelOffset));
}

// The first 40 bytes of every DIB header.
void InfoHeader(Writer& w, std::uint32_t headerSize, int width, int height, int bitCount,
                std::uint32_t compression, std::size_t imageSize) {
    w.U32(headerSize);
    w.I32(width);
    w.I32(height);
    w.U16(1);
    w.U16(static_cast<std::uint32_t>(bitCount));
    w.U32(compression);
    w.U32(U32(imageSize));
    w.U32(PixelsPerMetre);
    w.U32(PixelsPerMetre);
    w.U32(0);  // colours used: all that the bit count allows
    w.U32(0);
}

// A row of palette indices as BI_RLE8 runs: two or more equal indices as one
// run (count, index); three or more that no such run interrupts as literal
// indices (0, count, the indices, a zero to make the length even); a single
// index between two runs as a run of one. Then the end of the row (0, 0).
void Rle8Row(FileBytes& out, std::span<const std::uint8_t> row) {
    constexpr std::size_t Longest = 255;
    const std::size_t width = row.size();
    const auto runAt = [&](std::size_t at) {
        std::size_t end = at + 1;
        while (end < width && end - at < Longest && row[end] == row[at]) {
            ++end;
        }
        return end - at;
    };
    for (std::size_t at = 0; at < width;) {
        if (const std::size_t run = runAt(at); run >= 2) {
            out.push_back(static_cast<std::uint8_t>(run));
            out.push_back(row[at]);
            at += run;
            continue;
        }
        std::size_t end = at;
        while (end < width && end - at < Longest && runAt(end) < 2) {
            ++end;
        }
        const std::size_t count = end - at;
        if (count >= 3) {
            out.push_back(0);
            out.push_back(static_cast<std::uint8_t>(count));
            out.insert(out.end(), row.begin() + static_cast<std::ptrdiff_t>(at),
                       row.begin() + static_cast<std::ptrdiff_t>(end));
            if (count % 2 != 0) {
                out.push_back(0);
            }
        } else {
            for (std::size_t i = at; i < end; ++i) {
                out.push_back(1);
                out.push_back(row[i]);
            }
        }
        at = end;
    }
    out.push_back(0);
    out.push_back(0);
}

// Rows bottom-up, each padded with zero bytes to four bytes.
void TrueColourRows(FileBytes& out, const Canvas& canvas, int bitCount) {
    const std::size_t stride = RowStride(canvas.Width(), bitCount);
    for (int y = canvas.Height() - 1; y >= 0; --y) {
        const std::size_t rowStart = out.size();
        for (int x = 0; x < canvas.Width(); ++x) {
            const std::uint32_t p = canvas.At(x, y);
            out.push_back(Byte(p));
            out.push_back(Byte(p >> 8));
            out.push_back(Byte(p >> 16));
            if (bitCount == 32) {
                out.push_back(Byte(p >> 24));
            }
        }
        out.resize(rowStart + stride, 0);
    }
}

// A palette DIB as stored in icons and cursors: header with the height doubled,
// palette, colour indices (XOR) and AND mask, all rows bottom-up.
FileBytes IconDib(const IconImage& image) {
    const std::size_t colours = image.Palette.size();
    const int bitCount = colours == 2 ? 1 : colours == 16 ? 4 : 0;
    if (bitCount == 0) {
        throw std::runtime_error("icon palettes have 2 or 16 colours");
    }
    const Canvas& c = image.Pixels;
    const std::size_t xorStride = RowStride(c.Width(), bitCount);
    const std::size_t andStride = RowStride(c.Width(), 1);
    const std::size_t rowBytes = (xorStride + andStride) * static_cast<std::size_t>(c.Height());

    FileBytes out;
    Writer w(out);
    InfoHeader(w, 40, c.Width(), c.Height() * 2, bitCount, BiRgb, rowBytes);
    for (const std::uint32_t colour : image.Palette) {
        w.U8(colour);
        w.U8(colour >> 8);
        w.U8(colour >> 16);
        w.U8(0);
    }
    FileBytes xorRows;
    FileBytes andRows;
    for (int y = c.Height() - 1; y >= 0; --y) {
        FileBytes xorRow(xorStride, 0);
        FileBytes andRow(andStride, 0);
        for (int x = 0; x < c.Width(); ++x) {
            const std::uint32_t p = c.At(x, y);
            const auto ux = static_cast<std::size_t>(x);
            if ((p >> 24) == 0) {
                andRow[ux / 8] = static_cast<std::uint8_t>(andRow[ux / 8] | (0x80u >> (ux % 8)));
                continue;
            }
            const auto found =
                std::find(image.Palette.begin(), image.Palette.end(), p | 0xFF000000u);
            if (found == image.Palette.end()) {
                throw std::runtime_error("icon pixel with a colour its palette lacks");
            }
            const auto index = static_cast<std::uint32_t>(found - image.Palette.begin());
            if (bitCount == 1) {
                xorRow[ux / 8] =
                    static_cast<std::uint8_t>(xorRow[ux / 8] | (index << (7 - ux % 8)));
            } else {
                xorRow[ux / 2] =
                    static_cast<std::uint8_t>(xorRow[ux / 2] | (index << (ux % 2 == 0 ? 4 : 0)));
            }
        }
        xorRows.insert(xorRows.end(), xorRow.begin(), xorRow.end());
        andRows.insert(andRows.end(), andRow.begin(), andRow.end());
    }
    out.insert(out.end(), xorRows.begin(), xorRows.end());
    out.insert(out.end(), andRows.begin(), andRows.end());
    return out;
}

// ICONDIR and its entries, then the images. For an icon the two words after the
// colour count are planes and bit count; for a cursor they are the hot spot.
FileBytes IconFile(std::uint16_t type, std::span<const IconImage> images, int hotSpotX,
                   int hotSpotY) {
    std::vector<FileBytes> dibs;
    for (const IconImage& image : images) {
        if (image.Pixels.Width() > 256 || image.Pixels.Height() > 256) {
            throw std::runtime_error("icon images are at most 256 x 256");
        }
        dibs.push_back(IconDib(image));
    }
    FileBytes out;
    Writer w(out);
    w.U16(0);
    w.U16(type);
    w.U16(static_cast<std::uint32_t>(images.size()));
    std::size_t offset = 6 + 16 * images.size();
    for (std::size_t i = 0; i < images.size(); ++i) {
        const IconImage& image = images[i];
        const std::size_t colours = image.Palette.size();
        w.U8(static_cast<std::uint32_t>(image.Pixels.Width()) & 0xFF);  // 256 is written as 0
        w.U8(static_cast<std::uint32_t>(image.Pixels.Height()) & 0xFF);
        w.U8(static_cast<std::uint32_t>(colours));
        w.U8(0);
        if (type == 2) {
            w.U16(static_cast<std::uint32_t>(hotSpotX));
            w.U16(static_cast<std::uint32_t>(hotSpotY));
        } else {
            w.U16(1);
            w.U16(colours == 2 ? 1 : 4);
        }
        w.U32(U32(dibs[i].size()));
        w.U32(U32(offset));
        offset += dibs[i].size();
    }
    for (const FileBytes& dib : dibs) {
        out.insert(out.end(), dib.begin(), dib.end());
    }
    return out;
}

// The CRC-32 of PNG chunks (ISO 3309, the one zlib and PNG share).
std::uint32_t Crc32(const FileBytes& bytes, std::size_t from) {
    static const std::array<std::uint32_t, 256> table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k) {
                c = (c & 1) != 0 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            }
            t[n] = c;
        }
        return t;
    }();
    std::uint32_t crc = 0xFFFFFFFFu;
    for (std::size_t i = from; i < bytes.size(); ++i) {
        crc = table[(crc ^ bytes[i]) & 0xFF] ^ (crc >> 8);
    }
    return crc ^ 0xFFFFFFFFu;
}

void BigEndian(FileBytes& out, std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) {
        out.push_back(Byte(v >> shift));
    }
}

// Length, type, data and the CRC of type and data.
void PngChunk(FileBytes& out, const char (&type)[5], const FileBytes& data) {
    BigEndian(out, U32(data.size()));
    const std::size_t typeAt = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    BigEndian(out, Crc32(out, typeAt));
}

}  // namespace

Canvas::Canvas(int width, int height, std::uint32_t fill)
    : width_(width),
      height_(height),
      pixels_(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), fill) {}

std::size_t Canvas::Index(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) {
        throw std::out_of_range("pixel outside the canvas");
    }
    return static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
           static_cast<std::size_t>(x);
}

void Canvas::FillRect(int left, int top, int right, int bottom, std::uint32_t argb) {
    for (int y = top; y <= bottom; ++y) {
        for (int x = left; x <= right; ++x) {
            Set(x, y, argb);
        }
    }
}

FileBytes EncodeBmp24(const Canvas& canvas) {
    const std::size_t imageSize =
        RowStride(canvas.Width(), 24) * static_cast<std::size_t>(canvas.Height());
    const std::size_t pixelOffset = 14 + 40;
    FileBytes out;
    Writer w(out);
    FileHeader(w, pixelOffset + imageSize, pixelOffset);
    InfoHeader(w, 40, canvas.Width(), canvas.Height(), 24, BiRgb, imageSize);
    TrueColourRows(out, canvas, 24);
    return out;
}

FileBytes EncodeBmp32(const Canvas& canvas) {
    const std::size_t imageSize =
        RowStride(canvas.Width(), 32) * static_cast<std::size_t>(canvas.Height());
    const std::size_t headerSize = 124;
    const std::size_t pixelOffset = 14 + headerSize;
    FileBytes out;
    Writer w(out);
    FileHeader(w, pixelOffset + imageSize, pixelOffset);
    InfoHeader(w, headerSize, canvas.Width(), canvas.Height(), 32, BiBitfields, imageSize);
    w.U32(0x00FF0000);  // red
    w.U32(0x0000FF00);  // green
    w.U32(0x000000FF);  // blue
    w.U32(0xFF000000);  // alpha
    w.U32(LcsSrgb);
    w.Zeros(36 + 12);  // endpoints, gamma: unused for sRGB
    w.U32(LcsGmImages);
    w.Zeros(12);  // no profile; reserved
    TrueColourRows(out, canvas, 32);
    return out;
}

std::size_t CountColours(const Canvas& canvas) {
    std::vector<std::uint32_t> colours = canvas.Pixels();
    std::sort(colours.begin(), colours.end());
    return static_cast<std::size_t>(std::unique(colours.begin(), colours.end()) - colours.begin());
}

FileBytes EncodeBmp8Rle(const Canvas& canvas) {
    std::map<std::uint32_t, std::size_t> uses;
    for (const std::uint32_t p : canvas.Pixels()) {
        if ((p >> 24) != 0xFF) {
            throw std::runtime_error("a palette picture must be opaque");
        }
        ++uses[p];
    }
    if (uses.size() > 256) {
        throw std::runtime_error("more than 256 colours for a palette");
    }
    std::vector<std::pair<std::uint32_t, std::size_t>> palette(uses.begin(), uses.end());
    std::stable_sort(palette.begin(), palette.end(),
                     [](const auto& a, const auto& b) { return a.second > b.second; });
    std::map<std::uint32_t, std::uint8_t> index;
    for (std::size_t i = 0; i < palette.size(); ++i) {
        index[palette[i].first] = static_cast<std::uint8_t>(i);
    }

    FileBytes rows;
    std::vector<std::uint8_t> row(static_cast<std::size_t>(canvas.Width()));
    for (int y = canvas.Height() - 1; y >= 0; --y) {
        for (int x = 0; x < canvas.Width(); ++x) {
            row[static_cast<std::size_t>(x)] = index.at(canvas.At(x, y));
        }
        Rle8Row(rows, row);
    }
    rows.push_back(0);  // the end of the picture
    rows.push_back(1);

    const std::size_t pixelOffset = 14 + 40 + 4 * palette.size();
    FileBytes out;
    Writer w(out);
    FileHeader(w, pixelOffset + rows.size(), pixelOffset);
    w.U32(40);
    w.I32(canvas.Width());
    w.I32(canvas.Height());
    w.U16(1);
    w.U16(8);
    w.U32(BiRle8);
    w.U32(U32(rows.size()));
    w.U32(PixelsPerMetre);
    w.U32(PixelsPerMetre);
    w.U32(U32(palette.size()));  // colours used
    w.U32(0);                    // all of them matter
    for (const auto& [colour, count] : palette) {
        w.U8(colour);
        w.U8(colour >> 8);
        w.U8(colour >> 16);
        w.U8(0);
    }
    out.insert(out.end(), rows.begin(), rows.end());
    return out;
}

FileBytes EncodeBmpCompact(const Canvas& canvas) {
    return CountColours(canvas) <= 256 ? EncodeBmp8Rle(canvas) : EncodeBmp24(canvas);
}

FileBytes EncodeIcon(std::span<const IconImage> images) {
    return IconFile(1, images, 0, 0);
}

FileBytes EncodeCursor(const IconImage& image, int hotSpotX, int hotSpotY) {
    return IconFile(2, std::span<const IconImage>(&image, 1), hotSpotX, hotSpotY);
}

FileBytes EncodePng(const Canvas& canvas) {
    FileBytes header;
    BigEndian(header, U32(static_cast<std::size_t>(canvas.Width())));
    BigEndian(header, U32(static_cast<std::size_t>(canvas.Height())));
    header.push_back(8);  // bits per channel
    header.push_back(6);  // colour type: RGBA
    header.push_back(0);  // deflate
    header.push_back(0);  // adaptive filtering (each row says which filter)
    header.push_back(0);  // not interlaced

    QByteArray rows;
    rows.reserve(canvas.Height() * (1 + 4 * canvas.Width()));
    for (int y = 0; y < canvas.Height(); ++y) {
        rows.append('\0');  // filter: none
        for (int x = 0; x < canvas.Width(); ++x) {
            const std::uint32_t p = canvas.At(x, y);
            for (const int shift : {16, 8, 0, 24}) {
                rows.append(static_cast<char>(Byte(p >> shift)));
            }
        }
    }
    // qCompress puts the uncompressed length (4 bytes) before the zlib stream.
    const QByteArray compressed = qCompress(rows, 9);
    const FileBytes data(compressed.begin() + 4, compressed.end());

    FileBytes out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    PngChunk(out, "IHDR", header);
    PngChunk(out, "IDAT", data);
    PngChunk(out, "IEND", {});
    return out;
}

void WriteFile(const std::string& path, const FileBytes& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    file.close();
    if (!file) {
        throw std::runtime_error("cannot write " + path);
    }
}

}  // namespace ponderix::tools
