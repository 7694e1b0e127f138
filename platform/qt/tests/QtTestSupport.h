// What the Qt backend's tests share: a user control that records its
// notifications, and ways to reach the real widgets. Each test file declares
// the few layout rows it needs.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QWidget>
#include <functional>
#include <string>
#include <vector>

#include "assets/Assets.h"
#include "controls/picture_button/PictureButton.h"
#include "platform/core/LayoutSupport.h"
#include "platform/qt/QtConversions.h"
#include "platform/qt/QtDrawing.h"
#include "platform/qt/QtFonts.h"
#include "platform/qt/QtWindowSystem.h"

namespace ponderix::platform::qt::testing {

// The colour as the screen shows it, without alpha.
inline QRgb ToRgb(Colour colour) {
    return ToQColor(colour).rgb() & 0xFFFFFFu;
}

inline std::span<const std::uint8_t> FindHandCursor() {
    return assets::FindAsset("hand.cur");
}

// A user control that writes down every notification it receives.
class Recorder final : public IUserControl {
public:
    static constexpr std::string_view ClassId = "Test.Recorder";
    static UserControlClass Class();

    explicit Recorder(IUserControlSite& site) : Site(site) {}

    void UserControl_InitProperties() override { Log.emplace_back("Init"); }
    void UserControl_ReadProperties(const PropertyBag& bag) override;
    void UserControl_WriteProperties(PropertyBag& /*bag*/) const override {}
    void UserControl_Resize() override;
    void UserControl_Click() override {
        Log.emplace_back("Click");
        if (OnClick) {
            OnClick();
        }
    }
    void UserControl_DblClick() override { Log.emplace_back("DblClick"); }
    void UserControl_MouseDown(std::int16_t button, std::int16_t shift, float x, float y) override {
        Log.push_back(Mouse("Down", button, shift, x, y));
    }
    void UserControl_MouseMove(std::int16_t button, std::int16_t shift, float x, float y) override {
        Log.push_back(Mouse("Move", button, shift, x, y));
    }
    void UserControl_MouseUp(std::int16_t button, std::int16_t shift, float x, float y) override {
        Log.push_back(Mouse("Up", button, shift, x, y));
    }

    static std::string Mouse(std::string_view what, int button, int shift, float x, float y);

    IUserControlSite& Site;
    std::vector<std::string> Log;
    // Run at each Resize and Click, after it is logged (the test's own
    // reaction to it).
    std::function<void()> OnResize;
    std::function<void()> OnClick;
};

// The colours the test layouts use.
inline constexpr Colour Grey = Colour::Rgb(128, 128, 128);
inline constexpr Colour Silver = Colour::Rgb(192, 192, 192);
inline constexpr Colour White = Colour::Rgb(255, 255, 255);
inline constexpr Colour Navy = Colour::Rgb(0, 0, 128);

// The program's help key: a picture button with its three pictures.
inline constexpr PropertyEntry HelpKeyPictures[] = {
    {"picture", AssetName{"key_help.bmp"}},
    {"picturehover", AssetName{"key_help_lit.bmp"}},
    {"picturedown", AssetName{"key_help_lit.bmp"}},
};
inline constexpr ControlSpec HelpKey = {.Kind = ControlKind::UserControl,
                                        .Name = "btnHelp",
                                        .Rect = {5970, 165, 315, 315},
                                        .ClassId = controls::PictureButton::ClassId,
                                        .Properties = HelpKeyPictures};

// A window of the main window's size (488 x 405) with these controls.
constexpr WindowSpec TestWindow(std::span<const ControlSpec> controls, AssetName picture = {}) {
    return {.Name = "fTest",
            .Caption = "Test",
            .InnerWidth = 7320,
            .InnerHeight = 6075,
            .Picture = picture,
            .Controls = controls};
}

// A fixed dialog of the About window's size (312 x 263), over its owner.
constexpr WindowSpec TestDialog(std::span<const ControlSpec> controls) {
    return {.Name = "fDialog",
            .Caption = "About",
            .Border = WindowBorder::FixedDialog,
            .InnerWidth = 4680,
            .InnerHeight = 3945,
            .ShowInTaskBar = false,
            .StartPosition = StartPosition::CentreOwner,
            .Controls = controls};
}

class QtBackendTest : public ::testing::Test {
protected:
    QtBackendTest();

    static QWidget* WidgetOf(const IWindow& window);
    // The widget of a control, found by its key ("lblName(0)").
    static QWidget* Find(const IWindow& window, std::string_view key);
    // What the window shows, as the screen would.
    static QImage Grab(const IWindow& window);
    static QRect Geometry(const IWindow& window, std::string_view key);
    // Deletes the widgets whose deletion was put off.
    static void FlushDeletes();
    // The window's stacking of its controls in one container, topmost first.
    static std::vector<std::string> Stacking(const QWidget* container);
    // Runs the event loop for that long.
    static void Wait(int milliseconds);

    QtWindowSystem m_System;
};

}  // namespace ponderix::platform::qt::testing
