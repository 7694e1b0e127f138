// Draws every picture of the program and writes them into one folder (the
// source tree's assets/, where they are committed).
//
//   ponderix_make_assets <output folder>
//
// Runs without a display: Qt is only asked to render the lettering offscreen.
#include "tools/make_assets/Encoders.h"
#include "tools/make_assets/Lettering.h"
#include "tools/make_assets/Pictures.h"

#include <QtGui/QGuiApplication>

#include <cstdlib>
#include <filesystem>
#include <iostream>

namespace {

using namespace ponderix::tools;

// By path, so that the lettering does not depend on how fonts are configured.
const Fonts LiberationSans = {
    "/usr/share/fonts/truetype/liberation/LiberationSans-Bold.ttf",
    "/usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf",
};

void Write(const std::filesystem::path& folder, const char* name, const FileBytes& bytes) {
    WriteFile((folder / name).string(), bytes);
    std::cout << "  " << name << " (" << bytes.size() << " bytes)\n";
}

int Run(const std::filesystem::path& folder) {
    for (const std::string& font : {LiberationSans.SansBold, LiberationSans.SansRegular}) {
        if (!std::filesystem::exists(font)) {
            std::cerr << "missing font " << font << " (Debian package fonts-liberation)\n";
            return 1;
        }
    }
    std::filesystem::create_directories(folder);
    std::cout << "Writing the pictures into " << folder.string() << ":\n";

    // Each picture of the windows: as drawn for 96 dots per inch (the file the
    // program names), a copy of it in the form the Windows program stores
    // (win32/, 8-bit run-length encoded where it has at most 256 colours),
    // and the sets drawn for screens of 1.5 and 2 times that scale, which
    // both programs read (8-bit run-length encoded, with at most 256 colours).
    std::filesystem::create_directories(folder / "win32");
    const auto picture = [&](const std::string& name, const Canvas& natural, bool alpha,
                             const auto& drawnAt) {
        Write(folder, name.c_str(), alpha ? EncodeBmp32(natural) : EncodeBmp24(natural));
        Write(folder, ("win32/" + name).c_str(), EncodeBmpCompact(natural));
        for (const double scale : {1.5, 2.0}) {
            const std::string stem = name.substr(0, name.rfind('.'));
            const std::string scaled = stem + (scale == 2.0 ? "@2x.bmp" : "@1.5x.bmp");
            Write(folder, scaled.c_str(), EncodeBmp8Rle(WithAtMostColours(drawnAt(scale), 256)));
        }
    };

    picture("background.bmp", Background(), false,
            [](double scale) { return ScaledUp(Background(), scale); });

    constexpr int KeyLift = 29;
    const struct {
        TitleGlyph Glyph;
        const char* Normal;
        const char* Lit;
    } keys[] = {
        {TitleGlyph::QuestionMark, "key_help.bmp", "key_help_lit.bmp"},
        {TitleGlyph::Bar, "key_minimise.bmp", "key_minimise_lit.bmp"},
        {TitleGlyph::Cross, "key_close.bmp", "key_close_lit.bmp"},
    };
    for (const auto& key : keys) {
        const Canvas normal = TitleKey(key.Glyph);
        const Canvas lit = Raised(normal, KeyLift);
        picture(key.Normal, normal, false, [&](double scale) { return ScaledUp(normal, scale); });
        picture(key.Lit, lit, false, [&](double scale) { return ScaledUp(lit, scale); });
    }

    constexpr int CapHeight = 14;
    const Coverage lettering = Lettering(LiberationSans, "Calculate BMI", CapHeight);
    for (const bool lit : {false, true}) {
        picture(lit ? "calculate_lit.bmp" : "calculate.bmp", CalculateKey(lit, lettering), false,
                [&](double scale) {
                    const Coverage larger =
                        Lettering(LiberationSans, "Calculate BMI", ScaledSize(CapHeight, scale));
                    return CalculateKey(lit, larger, scale);
                });
    }

    picture("banner.bmp", Banner(LiberationSans), true,
            [](double scale) { return Banner(LiberationSans, scale); });
    Write(folder, "hand.cur", EncodeCursor(HandCursor(), HandHotSpotX, HandHotSpotY));
    Write(folder, "ponderix.ico", EncodeIcon(ProgramIcon()));

    // The icon theme's copies, in the folders they are installed into under
    // share/icons/ and named after the program's application id.
    for (const int size : {16, 24, 32, 48, 64, 128, 256}) {
        const std::string side = std::to_string(size);
        const std::filesystem::path apps = "hicolor/" + side + "x" + side + "/apps";
        std::filesystem::create_directories(folder / apps);
        Write(folder, (apps / "example.tarnwick.Ponderix.png").string().c_str(),
              EncodePng(ProgramIconPicture(size)));
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: ponderix_make_assets <output folder>\n";
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication application(argc, argv);
    try {
        return Run(argv[1]);
    } catch (const std::exception& error) {
        std::cerr << "ponderix_make_assets: " << error.what() << '\n';
        return 1;
    }
}
