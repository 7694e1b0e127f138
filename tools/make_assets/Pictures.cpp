#include "tools/make_assets/Pictures.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <span>
#include <stdexcept>
#include <string_view>
#include <utility>

namespace ponderix::tools {

namespace {

constexpr std::uint32_t Grey = Argb(128, 128, 128);
constexpr std::uint32_t Black = Argb(0, 0, 0);
constexpr std::uint32_t White = Argb(255, 255, 255);
constexpr std::uint32_t Transparent = 0;

struct Rect {
    int Left;
    int Top;
    int Right;  // inclusive
    int Bottom;
};

// Shades the outer rings of r: ring 0 is the outermost pixel line. A pixel nearer
// to the top or left side than to the bottom or right side takes the top-left
// colour of its ring, otherwise the bottom-right one; where it is as near to both
// (on the diagonal of the top-right and bottom-left corners) the top-left side
// wins, so the top edge and the left edge each run the full length of the rect.
void Bevel(Canvas& canvas, Rect r, std::span<const std::uint32_t> topLeft,
           std::span<const std::uint32_t> bottomRight) {
    const int depth = static_cast<int>(topLeft.size());
    for (int y = r.Top; y <= r.Bottom; ++y) {
        for (int x = r.Left; x <= r.Right; ++x) {
            const int nearTopLeft = std::min(x - r.Left, y - r.Top);
            const int nearBottomRight = std::min(r.Right - x, r.Bottom - y);
            const int ring = std::min(nearTopLeft, nearBottomRight);
            if (ring >= depth) {
                continue;
            }
            const auto index = static_cast<std::size_t>(ring);
            canvas.Set(x, y, nearTopLeft <= nearBottomRight ? topLeft[index] : bottomRight[index]);
        }
    }
}

int Channel(std::uint32_t argb, int shift) {
    return static_cast<int>((argb >> shift) & 0xFF);
}

// weight 0 gives a, 255 gives b.
std::uint32_t Mix(std::uint32_t a, std::uint32_t b, int weight) {
    const auto mix = [&](int shift) {
        return (Channel(a, shift) * (255 - weight) + Channel(b, shift) * weight + 127) / 255;
    };
    return Argb(mix(16), mix(8), mix(0));
}

// ---- window background

constexpr std::uint32_t PanelFace = Argb(0, 130, 191);
constexpr std::array<std::uint32_t, 6> PanelLight = {Argb(0, 142, 208), Argb(0, 150, 221),
                                                     Argb(0, 151, 221), Argb(0, 148, 217),
                                                     Argb(0, 142, 208), Argb(0, 134, 196)};
constexpr std::array<std::uint32_t, 6> PanelDark = {Argb(0, 60, 88),   Argb(0, 61, 90),
                                                    Argb(0, 82, 120),  Argb(0, 98, 144),
                                                    Argb(0, 112, 165), Argb(0, 124, 182)};

constexpr Rect InnerPanel = {17, 77, 468, 358};
constexpr std::uint32_t InnerFace = Argb(0, 87, 130);
constexpr std::array<std::uint32_t, 6> InnerDark = {Argb(0, 40, 60),  Argb(0, 41, 61),
                                                    Argb(0, 55, 82),  Argb(0, 66, 98),
                                                    Argb(0, 75, 112), Argb(0, 83, 124)};
constexpr std::array<std::uint32_t, 6> InnerLight = {Argb(0, 95, 142),  Argb(0, 100, 150),
                                                     Argb(0, 101, 150), Argb(0, 99, 147),
                                                     Argb(0, 95, 141),  Argb(0, 89, 134)};

// How much of the panel shows in the 4 x 4 pixels at its top-left corner, out of
// 255; the rest is grey. Three pixels of the first row and column are cut away,
// and the pixels along the cut are half grey. The other corners are mirror images.
constexpr std::array<std::array<int, 4>, 4> CornerCut = {{
    {0, 0, 0, 128},
    {0, 128, 255, 255},
    {0, 255, 255, 255},
    {128, 255, 255, 255},
}};

void RoundCorners(Canvas& canvas) {
    const int right = canvas.Width() - 1;
    const int bottom = canvas.Height() - 1;
    for (int dy = 0; dy < 4; ++dy) {
        for (int dx = 0; dx < 4; ++dx) {
            const int weight =
                CornerCut[static_cast<std::size_t>(dy)][static_cast<std::size_t>(dx)];
            for (const auto& [x, y] :
                 {std::pair{dx, dy}, std::pair{right - dx, dy}, std::pair{dx, bottom - dy},
                  std::pair{right - dx, bottom - dy}}) {
                canvas.Set(x, y, Mix(Grey, canvas.At(x, y), weight));
            }
        }
    }
}

// ---- keys

constexpr std::uint32_t KeyFace = Argb(128, 160, 192);
constexpr std::array<std::uint32_t, 3> KeyLight = {Argb(224, 232, 240), Argb(192, 208, 224),
                                                   Argb(160, 184, 208)};
constexpr std::array<std::uint32_t, 3> KeyDark = {Argb(40, 50, 60), Argb(72, 90, 108),
                                                  Argb(100, 125, 150)};

// Glyphs on the 21 x 21 keys: '#' is black; the art's top-left character lands
// on the pixel (Left, Top).
struct Glyph {
    int Left;
    int Top;
    std::array<std::string_view, 10> Rows;
};

constexpr Glyph QuestionMark = {7,
                                4,
                                {"..###..",  //
                                 ".##.##.",  //
                                 ".##.##.",  //
                                 "....##.",  //
                                 "...##..",  //
                                 "..##...",  //
                                 "..##...",  //
                                 ".......",  //
                                 "..##...",  //
                                 "..##..."}};

constexpr Glyph Bar = {7, 13, {"#######"}};

constexpr Glyph Cross = {7,
                         4,
                         {"##...##",  //
                          "##...##",  //
                          ".##.##.",  //
                          "..###..",  //
                          "...#...",  //
                          "..###..",  //
                          ".##.##.",  //
                          "##...##",  //
                          "##...##"}};

void DrawGlyph(Canvas& canvas, const Glyph& glyph) {
    for (std::size_t row = 0; row < glyph.Rows.size(); ++row) {
        const std::string_view line = glyph.Rows[row];
        for (std::size_t column = 0; column < line.size(); ++column) {
            if (line[column] == '#') {
                canvas.Set(glyph.Left + static_cast<int>(column), glyph.Top + static_cast<int>(row),
                           Black);
            }
        }
    }
}

void GreyCorners(Canvas& canvas) {
    const int right = canvas.Width() - 1;
    const int bottom = canvas.Height() - 1;
    canvas.Set(0, 0, Grey);
    canvas.Set(right, 0, Grey);
    canvas.Set(0, bottom, Grey);
    canvas.Set(right, bottom, Grey);
}

constexpr std::uint32_t CalculateFace = Argb(0, 128, 192);
constexpr std::array<std::uint32_t, 4> CalculateLight = {Argb(96, 192, 240), Argb(64, 174, 228),
                                                         Argb(36, 158, 216), Argb(16, 142, 204)};
constexpr std::array<std::uint32_t, 4> CalculateDark = {Argb(0, 59, 89), Argb(0, 80, 120),
                                                        Argb(0, 98, 147), Argb(0, 114, 171)};

std::uint32_t Shifted(std::uint32_t argb, int red, int green, int blue) {
    const auto up = [](int value, int amount) { return std::min(255, value + amount); };
    return Argb(up(Channel(argb, 16), red), up(Channel(argb, 8), green),
                up(Channel(argb, 0), blue));
}

// ---- cursor and icon

// ' ' transparent, '#' black, 'o' white.
constexpr std::array<std::string_view, 32> HandArt = {
    "                                ",  //  0
    "                                ",  //  1
    "                                ",  //  2
    "                                ",  //  3
    "                                ",  //  4
    "                                ",  //  5
    "                                ",  //  6
    "                 ###            ",  //  7
    "                #ooo#           ",  //  8
    "                #ooo#           ",  //  9
    "                #ooo#           ",  // 10
    "                #ooo#           ",  // 11
    "                #ooo###         ",  // 12
    "                #ooo#oo###      ",  // 13
    "                #ooo#oo#oo###   ",  // 14
    "                #ooo#oo#oo#oo#  ",  // 15
    "           ##   #ooo#oo#oo#oo#  ",  // 16
    "          #oo#  #ooo#oo#oo#oo#  ",  // 17
    "          #ooo###oooooooooooo#  ",  // 18
    "           #ooooooooooooooooo#  ",  // 19
    "           #ooooooooooooooooo#  ",  // 20
    "            #oooooooooooooooo#  ",  // 21
    "             #ooooooooooooooo#  ",  // 22
    "              #ooooooooooooo#   ",  // 23
    "               #oooooooooooo#   ",  // 24
    "                #ooooooooooo#   ",  // 25
    "                #oooooooooo#    ",  // 26
    "                #oooooooooo#    ",  // 27
    "                ############    ",  // 28
    "                                ",  // 29
    "                                ",  // 30
    "                                ",  // 31
};

IconImage FromArt(std::span<const std::string_view> rows, std::vector<std::uint32_t> palette,
                  std::uint32_t (*colourOf)(char)) {
    IconImage image{Canvas(static_cast<int>(rows[0].size()), static_cast<int>(rows.size())),
                    std::move(palette)};
    for (std::size_t y = 0; y < rows.size(); ++y) {
        if (rows[y].size() != rows[0].size()) {
            throw std::logic_error("ragged picture art");
        }
        for (std::size_t x = 0; x < rows[y].size(); ++x) {
            image.Pixels.Set(static_cast<int>(x), static_cast<int>(y), colourOf(rows[y][x]));
        }
    }
    return image;
}

std::uint32_t HandColour(char c) {
    switch (c) {
        case '#':
            return Black;
        case 'o':
            return White;
        case ' ':
            return Transparent;
        default:
            throw std::logic_error("unknown character in the hand art");
    }
}

// The sixteen colours of the standard VGA palette, in their usual order.
const std::vector<std::uint32_t>& SixteenColours() {
    static const std::vector<std::uint32_t> palette = {
        Argb(0, 0, 0),       Argb(128, 0, 0),   Argb(0, 128, 0),   Argb(128, 128, 0),
        Argb(0, 0, 128),     Argb(128, 0, 128), Argb(0, 128, 128), Argb(192, 192, 192),
        Argb(128, 128, 128), Argb(255, 0, 0),   Argb(0, 255, 0),   Argb(255, 255, 0),
        Argb(0, 0, 255),     Argb(255, 0, 255), Argb(0, 255, 255), Argb(255, 255, 255)};
    return palette;
}

constexpr std::uint32_t Cyan = Argb(0, 255, 255);

// The program icon at any size: a window with a black outline, a title bar, a
// black line under it and a white body, transparent around it. It is drawn
// for 32 pixels; other sizes keep its proportions with lines as thick as one
// of its pixels (at least one), so 64, 128 and 256 are the 32-pixel image
// scaled by 2, 4 and 8, and at 16 the margins shrink to what fits.
IconImage Window(int size, std::uint32_t titleColour, std::vector<std::uint32_t> palette) {
    const int line = std::max(1, size / 32);
    const int side = size / 32;                  // left and right margin
    const int top = 3 * size / 32;               // top and bottom margin
    const int titleRows = (5 * size + 16) / 32;  // rounded to the nearest row
    IconImage image{Canvas(size, size, Transparent), std::move(palette)};
    Canvas& c = image.Pixels;
    const Rect frame = {side, top, size - 1 - side, size - 1 - top};
    c.FillRect(frame.Left, frame.Top, frame.Right, frame.Bottom, Black);
    const int titleTop = frame.Top + line;
    const int titleBottom = titleTop + titleRows - 1;
    c.FillRect(frame.Left + line, titleTop, frame.Right - line, titleBottom, titleColour);
    c.FillRect(frame.Left + line, titleBottom + line + 1, frame.Right - line, frame.Bottom - line,
               White);
    return image;
}

// ---- fewer colours

int ChannelOf(std::uint32_t argb, int channel) {
    return Channel(argb, 16 - 8 * channel);  // 0 red, 1 green, 2 blue
}

// Colours that stand for one colour of the reduced picture, each with how
// many pixels have it.
using Group = std::vector<std::pair<std::uint32_t, std::size_t>>;

// The channel in which the group's colours lie furthest apart, and how far.
std::pair<int, int> WidestChannel(const Group& group) {
    std::pair<int, int> widest{0, -1};
    for (int channel = 0; channel < 3; ++channel) {
        int low = 255;
        int high = 0;
        for (const auto& [colour, count] : group) {
            low = std::min(low, ChannelOf(colour, channel));
            high = std::max(high, ChannelOf(colour, channel));
        }
        if (high - low > widest.second) {
            widest = {channel, high - low};
        }
    }
    return widest;
}

// Halves a group of two colours or more at the median pixel of its widest channel.
std::pair<Group, Group> Split(Group group) {
    const int channel = WidestChannel(group).first;
    std::stable_sort(group.begin(), group.end(), [channel](const auto& a, const auto& b) {
        return ChannelOf(a.first, channel) < ChannelOf(b.first, channel);
    });
    std::size_t total = 0;
    for (const auto& entry : group) {
        total += entry.second;
    }
    std::size_t seen = 0;
    std::size_t cut = 1;
    for (; cut < group.size() - 1; ++cut) {
        seen += group[cut - 1].second;
        if (2 * seen >= total) {
            break;
        }
    }
    return {Group(group.begin(), group.begin() + static_cast<std::ptrdiff_t>(cut)),
            Group(group.begin() + static_cast<std::ptrdiff_t>(cut), group.end())};
}

std::uint32_t MeanOf(const Group& group) {
    std::array<std::size_t, 3> sums{};
    std::size_t total = 0;
    for (const auto& [colour, count] : group) {
        for (int channel = 0; channel < 3; ++channel) {
            sums[static_cast<std::size_t>(channel)] +=
                static_cast<std::size_t>(ChannelOf(colour, channel)) * count;
        }
        total += count;
    }
    const auto mean = [&](int channel) {
        return static_cast<int>((sums[static_cast<std::size_t>(channel)] + total / 2) / total);
    };
    return Argb(mean(0), mean(1), mean(2));
}

}  // namespace

int ScaledSize(int pixels, double scale) {
    return static_cast<int>(std::floor(pixels * scale + 0.5));
}

Canvas ScaledUp(const Canvas& picture, double scale) {
    const int width = ScaledSize(picture.Width(), scale);
    const int height = ScaledSize(picture.Height(), scale);
    // Source pixel i covers the pixels x with i * from / to < x + 1/2 <=
    // (i + 1) * from / to: its scaled edges rounded to the nearest pixel,
    // halves up, as the program puts every edge on the pixel grid.
    const auto under = [](int at, int from, int to) {
        const long long above = ((2LL * at + 1) * from + 2LL * to - 1) / (2LL * to);  // ceiling
        return static_cast<int>(std::clamp<long long>(above - 1, 0, from - 1));
    };
    Canvas scaled(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            scaled.Set(
                x, y,
                picture.At(under(x, picture.Width(), width), under(y, picture.Height(), height)));
        }
    }
    return scaled;
}

Canvas WithAtMostColours(const Canvas& picture, std::size_t colours) {
    std::map<std::uint32_t, std::size_t> uses;
    for (const std::uint32_t p : picture.Pixels()) {
        ++uses[p];
    }
    if (uses.size() <= colours) {
        return picture;
    }
    Group byUse(uses.begin(), uses.end());
    std::stable_sort(byUse.begin(), byUse.end(),
                     [](const auto& a, const auto& b) { return a.second > b.second; });
    const std::size_t total = picture.Pixels().size();
    std::size_t kept = 0;
    while (kept < colours / 2 && byUse[kept].second * 200 >= total) {
        ++kept;
    }
    std::map<std::uint32_t, std::uint32_t> shownAs;
    for (std::size_t i = 0; i < kept; ++i) {
        shownAs[byUse[i].first] = byUse[i].first;
    }
    std::vector<Group> groups{
        Group(byUse.begin() + static_cast<std::ptrdiff_t>(kept), byUse.end())};
    while (kept + groups.size() < colours) {
        // The group whose colours lie furthest apart; of equals, the first.
        auto widest = groups.end();
        int widestRange = 0;
        for (auto group = groups.begin(); group != groups.end(); ++group) {
            const int range = group->size() >= 2 ? WidestChannel(*group).second : 0;
            if (range > widestRange) {
                widest = group;
                widestRange = range;
            }
        }
        if (widest == groups.end()) {
            break;
        }
        auto [low, high] = Split(std::move(*widest));
        *widest = std::move(low);
        groups.push_back(std::move(high));
    }
    for (const Group& group : groups) {
        const std::uint32_t mean = MeanOf(group);
        for (const auto& entry : group) {
            shownAs[entry.first] = mean;
        }
    }
    Canvas reduced(picture.Width(), picture.Height());
    for (int y = 0; y < picture.Height(); ++y) {
        for (int x = 0; x < picture.Width(); ++x) {
            reduced.Set(x, y, shownAs.at(picture.At(x, y)));
        }
    }
    return reduced;
}

Canvas Background() {
    Canvas canvas(489, 406, PanelFace);
    Bevel(canvas, {0, 0, canvas.Width() - 1, canvas.Height() - 1}, PanelLight, PanelDark);
    canvas.FillRect(InnerPanel.Left, InnerPanel.Top, InnerPanel.Right, InnerPanel.Bottom,
                    InnerFace);
    Bevel(canvas, InnerPanel, InnerDark, InnerLight);
    RoundCorners(canvas);
    return canvas;
}

Canvas TitleKey(TitleGlyph glyph) {
    Canvas canvas(21, 21, KeyFace);
    Bevel(canvas, {0, 0, 20, 20}, KeyLight, KeyDark);
    GreyCorners(canvas);
    switch (glyph) {
        case TitleGlyph::QuestionMark:
            DrawGlyph(canvas, QuestionMark);
            break;
        case TitleGlyph::Bar:
            DrawGlyph(canvas, Bar);
            break;
        case TitleGlyph::Cross:
            DrawGlyph(canvas, Cross);
            break;
    }
    return canvas;
}

Canvas Raised(const Canvas& picture, int amount) {
    Canvas out = picture;
    for (int y = 0; y < out.Height(); ++y) {
        for (int x = 0; x < out.Width(); ++x) {
            out.Set(x, y, Shifted(out.At(x, y), amount, amount, amount));
        }
    }
    return out;
}

Canvas CalculateKey(bool lit, const Coverage& lettering, double scale) {
    Canvas canvas(151, 40, CalculateFace);
    Bevel(canvas, {0, 0, 150, 39}, CalculateLight, CalculateDark);
    GreyCorners(canvas);
    if (lit) {
        // The whole key lightens by the same step as its face; the corners stay
        // the grey they stand for.
        for (int y = 0; y < canvas.Height(); ++y) {
            for (int x = 0; x < canvas.Width(); ++x) {
                canvas.Set(
                    x, y,
                    Shifted(canvas.At(x, y), CalculateLitRed, CalculateLitGreen, CalculateLitBlue));
            }
        }
        GreyCorners(canvas);
    }
    if (scale != 1) {
        canvas = ScaledUp(canvas, scale);
    }
    if (lettering.Width > canvas.Width() || lettering.Height > canvas.Height()) {
        throw std::logic_error("lettering larger than the key");
    }
    const int left = (canvas.Width() - lettering.Width) / 2;
    const int top = (canvas.Height() - lettering.Height) / 2;
    for (int y = 0; y < lettering.Height; ++y) {
        for (int x = 0; x < lettering.Width; ++x) {
            const int cover = lettering.At(x, y);
            if (cover > 0) {
                canvas.Set(left + x, top + y, Mix(canvas.At(left + x, top + y), White, cover));
            }
        }
    }
    return canvas;
}

IconImage HandCursor() {
    return FromArt(HandArt, {Black, White}, HandColour);
}

std::vector<IconImage> ProgramIcon() {
    return {
        Window(32, Black, {Black, White}),  // two colours: the title bar can only be black
        Window(32, Cyan, SixteenColours()), Window(16, Cyan, SixteenColours()),
        Window(48, Cyan, SixteenColours()), Window(256, Cyan, SixteenColours()),
    };
}

Canvas ProgramIconPicture(int size) {
    return Window(size, Cyan, SixteenColours()).Pixels;
}

}  // namespace ponderix::tools
