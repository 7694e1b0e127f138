// A window of the program as a top-level QWidget, built hidden from its layout.
//
// Implements (IWindow):
// - [x] borders: None -> a frameless window of its inner size with a task-bar
//       entry, centred on the screen; FixedDialog -> a dialog window with title
//       bar and close box only, fixed size, owned by (and centred over) the
//       window it is shown for, so no task-bar entry and always above its owner
// - [x] caption, icon, background colour and background picture (natural size,
//       from the top-left corner, clipped, never stretched)
// - [x] controls by name and index, placed from twips, stacked with windowed
//       controls above windowless ones, tab order, first focus
// - [x] Resize on first show and on every change of the inner size
// - [x] Show (again: to the front, restored), Minimise; owned windows hide while
//       their owner is minimised and come back with it
// - [x] Unload and the close box: owned windows first, timers stopped, the
//       widgets deleted later (never inside their own handlers), Unloaded once;
//       the object stays valid and its controls throw from then on
// - [x] Handle: the widget's address
#pragma once

#include <QPointer>
#include <QSize>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/WindowSystem.h"

class QWidget;

namespace ponderix::platform::qt {

class QtWindowSystem;
class QtControl;
class WindowWidget;

class QtWindow final : public IWindow {
public:
    QtWindow(QtWindowSystem& system, const WindowSpec& layout);
    ~QtWindow() override;
    QtWindow(const QtWindow&) = delete;
    QtWindow& operator=(const QtWindow&) = delete;

    // IWindow
    IControl& Control(std::string_view name, int index = NoIndex) override;
    float ScaleWidth() const override;
    float ScaleHeight() const override;
    void Show(IWindow* owner = nullptr) override;
    void Minimise() override;
    void Unload() override;
    bool IsLoaded() const override { return m_Loaded; }
    WindowHandle Handle() const override;

    // For the window's controls.
    QtWindowSystem& System() { return m_System; }
    const FontSpec& DefaultFont() const { return m_Layout.Font; }
    // Throws PlatformError, naming the control, once the window is unloaded.
    void CheckLoaded(std::string_view controlKey) const;
    // The window's widget while it is loaded; null afterwards.
    QWidget* Widget() const;

    // For the window's widget.
    void ClosedByUser();
    void InnerSizeChanged();
    void MinimisedChanged(bool minimised);

private:
    struct Entry {
        const ControlSpec* Row = nullptr;
        std::unique_ptr<IControl> Control;
        QtControl* Backend = nullptr;  // null for the hidden picture boxes
    };

    static QWidget* WidgetOf(const Entry& entry);
    void Build();
    QWidget* ContainerWidget(std::string_view container) const;
    void Restack();
    void SetTabOrder();
    void FocusFirstControl();
    void PlaceOnScreen();
    void HideWithOwner(bool hidden);
    // Stops the timers, cuts the widgets off from the controls and deletes them.
    void Destroy();

    QtWindowSystem& m_System;
    WindowSpec m_Layout;
    QPointer<WindowWidget> m_Widget;
    std::vector<Entry> m_Controls;  // in layout order
    std::map<std::string, std::size_t, std::less<>> m_Index;
    std::vector<QWidget*> m_TabChain;  // the controls Tab visits, in order
    QtWindow* m_Owner = nullptr;
    QSize m_InnerSize;
    QSize m_ReportedSize;
    bool m_Loaded = true;
    bool m_Shown = false;
    bool m_HiddenWithOwner = false;
};

}  // namespace ponderix::platform::qt
