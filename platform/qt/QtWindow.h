// A window of the program as a top-level QWidget, built hidden from its layout
// by the window core, which keeps everything but the widget.
//
// How it differs from the other backends: a window without a border is a
// frameless top-level widget with a task-bar entry; a fixed dialog becomes a
// child window of its owner's widget, which keeps it above the owner, and is
// marked for the window manager to leave off the task bar (X11Desktop.h). A
// window manager minimises it with its owner; it comes back unminimised when
// the owner does. Qt learns a window's frame only once the desktop has framed it,
// so windows are placed by their inner area. Tab and Shift+Tab never reach Qt's
// own focus chain: the window widget hands them to the core, as it does with
// the keys a control lets through (Return, Escape, F1 ...). Widgets go later
// than their window (deleteLater), as the going may start inside one of their
// own event handlers.
#pragma once

#include <QPointer>

#include "platform/core/CoreWindow.h"
#include "platform/qt/QtControls.h"
#include "platform/qt/QtUserControlHost.h"

class QWidget;

namespace ponderix::platform::qt {

class QtWindowSystem;
class WindowWidget;

class QtWindow final : public core::Window {
public:
    QtWindow(QtWindowSystem& system, const WindowSpec& layout);
    ~QtWindow() override;

protected:
    std::unique_ptr<core::Label> MakeLabel(const core::ControlArgs& args) override {
        return std::make_unique<QtLabel>(args);
    }
    std::unique_ptr<core::TextBox> MakeTextBox(const core::ControlArgs& args) override {
        return std::make_unique<QtTextBox>(args);
    }
    std::unique_ptr<core::ListBox> MakeListBox(const core::ControlArgs& args) override {
        return std::make_unique<QtListBox>(args);
    }
    std::unique_ptr<core::OptionButton> MakeOptionButton(const core::ControlArgs& args) override {
        return std::make_unique<QtOptionButton>(args);
    }
    std::unique_ptr<core::Frame> MakeFrame(const core::ControlArgs& args) override {
        return std::make_unique<QtFrame>(args);
    }
    std::unique_ptr<core::Image> MakeImage(const core::ControlArgs& args) override {
        return std::make_unique<QtImage>(args);
    }
    std::unique_ptr<core::UserControlHost> MakeUserControl(
        const core::ControlArgs& args, const UserControlClass& userControlClass) override {
        return std::make_unique<QtUserControlHost>(args, userControlClass);
    }

    WindowHandle NativeHandle() const override;
    WholePixelRect InnerRect() const override;
    WholePixelRect OuterRect() const override;
    WholePixelRect WorkArea() const override;
    void MoveTo(int left, int top) override;
    void MakeOwned(core::Window& owner) override;
    void ShowNative(bool again) override;
    void MinimiseNative() override;
    void HideWithOwner(bool hidden) override;
    void DestroyNative() override;
    void AnnounceNative(const std::string& text) override;

private:
    friend class WindowWidget;

    void ShowWidget();

    QtWindowSystem& m_QtSystem;
    QPointer<WindowWidget> m_Widget;
    // What the window tells screen readers of itself, made at the first.
    QPointer<QWidget> m_Announcement;
    bool m_HiddenWithOwner = false;
};

}  // namespace ponderix::platform::qt
