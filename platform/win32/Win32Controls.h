// The standard controls on the desktop. The core keeps their properties; here
// is only what is native: a text box, list box and option button are windows of
// the system's classes (EDIT, LISTBOX, BUTTON), a frame is a container window
// of our own class, and labels and images are painted by their container.
// Screen readers are told of each change of a name or description
// (Win32Accessible.h).
#pragma once

#include <algorithm>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

#include "platform/core/CoreControls.h"
#include "platform/win32/Win32Window.h"

namespace ponderix::platform::win32::detail {

// Makes the native child window of a control in its container, at its
// rectangle, visible and enabled as its row says, in the font given.
HWND CreateChild(const core::ControlArgs& args, const wchar_t* windowClass, std::string_view text,
                 DWORD style, DWORD exStyle, MessageTarget* target = nullptr);

// What every control with a native window of its own shares.
template <typename Core>
class Windowed : public Core, public NativeChild {
public:
    template <typename... Rest>
    explicit Windowed(const core::ControlArgs& args, Rest&&... rest)
        : Core(args, std::forward<Rest>(rest)...),
          m_Desktop(DesktopOf(args.Window)),
          m_FontSpec(args.Font),
          m_Accessible(
              std::make_shared<AccessibleAnchor>(AccessibleAnchor{&args.Window, this, false, {}})) {
    }
    ~Windowed() override {
        m_Accessible->Cut();
        // Only a control that failed to be made still has its window here: its
        // messages go to the default procedure from now on.
        if (m_Hwnd != nullptr) {
            SetWindowLongPtrW(m_Hwnd, GWLP_USERDATA, 0);
            DestroyWindow(m_Hwnd);
        }
    }

    WindowHandle NativeHandle() const override { return ToWindowHandle(m_Hwnd); }
    void Raise() override {
        SetWindowPos(m_Hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    void Focus() override { SetFocus(m_Hwnd); }
    bool HasFocus() const override { return m_Hwnd != nullptr && GetFocus() == m_Hwnd; }
    void Detach() override {
        m_Accessible->Cut();
        m_Hwnd = nullptr;
    }
    void AccessibleNameChanged() override { TellAccessibleChange(*this, nullptr, true); }
    void AccessibleDescriptionChanged() override { TellAccessibleChange(*this, nullptr, false); }
    // On a screen of another scale the font takes its size there first, so
    // that the control measures with it.
    void Rescale(float oldTwipsPerPixel) override {
        if (m_Hwnd != nullptr) {
            SendMessageW(
                m_Hwnd, WM_SETFONT,
                reinterpret_cast<WPARAM>(m_Desktop.Font(m_FontSpec, DpiOf(this->Window()))), FALSE);
        }
        Core::Rescale(oldTwipsPerPixel);
    }

protected:
    void Place(const WholePixelRect& rect) override {
        SetWindowPos(m_Hwnd, nullptr, rect.Left, rect.Top, std::max(rect.Width, 0),
                     std::max(rect.Height, 0), SWP_NOZORDER | SWP_NOACTIVATE);
    }
    void ShowNative(bool visible) override { ShowWindow(m_Hwnd, visible ? SW_SHOWNA : SW_HIDE); }
    void EnableNative(bool enabled) override { EnableWindow(m_Hwnd, enabled ? TRUE : FALSE); }

    // The brush for WM_CTLCOLOR*: the row's colours, or the system's.
    HBRUSH Colours(HDC dc, COLORREF defaultBack) const {
        const ControlSpec& row = this->Row();
        const COLORREF back = row.BackColour ? ToColorRef(*row.BackColour) : defaultBack;
        SetTextColor(dc, ToColorRef(row.ForeColour));
        SetBkColor(dc, back);
        return m_Desktop.Brush(back);
    }

    Desktop& m_Desktop;
    FontSpec m_FontSpec;
    HWND m_Hwnd = nullptr;
    // What screen readers hold of the control, until it goes.
    std::shared_ptr<AccessibleAnchor> m_Accessible;
};

// What labels and images share: their container paints them, in the core's
// stacking order and at the core's bounds, so each change repaints it.
template <typename Core>
class Painted : public Core, public Windowless {
public:
    explicit Painted(const core::ControlArgs& args)
        : Core(args), m_Desktop(DesktopOf(args.Window)), m_Container(ContainerOf(args)) {}

    void ClickByUser() override { this->UserClicked(); }
    void Raise() override { Repaint(); }
    void AccessibleNameChanged() override {
        TellAccessibleChange(*this, m_Container.ContainerHandle(), true);
    }
    void AccessibleDescriptionChanged() override {
        TellAccessibleChange(*this, m_Container.ContainerHandle(), false);
    }

protected:
    // The old place and the new: the whole container.
    void Place(const WholePixelRect& /*rect*/) override { m_Container.InvalidateAll(); }
    void ShowNative(bool /*visible*/) override { Repaint(); }
    void EnableNative(bool /*enabled*/) override { Repaint(); }
    void Repaint() const { m_Container.Invalidate(ToWholePixels(this->m_Bounds)); }

    Desktop& m_Desktop;
    Container& m_Container;
};

class Win32Label final : public Painted<core::Label> {
public:
    explicit Win32Label(const core::ControlArgs& args);

    void Paint(HDC dc) override;

protected:
    void ShowCaption(std::string_view caption) override;
    void ShowFont(const FontSpec& /*font*/) override { Repaint(); }
    void ShowForeColour(Colour /*colour*/) override { Repaint(); }
    WholePixelRect FittedSize() const override;

private:
    int BorderWidth() const;

    std::wstring m_Drawn;  // the caption as DrawText takes it
};

class Win32Image final : public Painted<core::Image> {
public:
    explicit Win32Image(const core::ControlArgs& args) : Painted(args), m_Picture(args.Picture) {}

    void Paint(HDC dc) override;

private:
    Picture m_Picture;
    ScaledPicture m_Shown;  // the picture on this screen
};

class Win32TextBox final : public Windowed<core::TextBox> {
public:
    explicit Win32TextBox(const core::ControlArgs& args);

    std::string NativeText() const override;
    void ShowText(std::string_view text) override;
    void SelectAll() override;
    HBRUSH OnControlColour(HDC dc) override { return Colours(dc, GetSysColor(COLOR_WINDOW)); }
    void Rescale(float oldTwipsPerPixel) override;

private:
    void SetMargins();
};

class Win32ListBox final : public Windowed<core::ListBox> {
public:
    explicit Win32ListBox(const core::ControlArgs& args);

    HBRUSH OnControlColour(HDC dc) override { return Colours(dc, GetSysColor(COLOR_WINDOW)); }

protected:
    void AddNativeItem(std::string_view text) override;
    int NativeListIndex() const override;
    void SelectNative(int row) override;
};

// A plain radio button: its group is the core's (each container is one), so
// that a window's frames never reach into each other.
class Win32OptionButton final : public Windowed<core::OptionButton> {
public:
    explicit Win32OptionButton(const core::ControlArgs& args);

    void OnCommand(WORD code) override;
    HBRUSH OnControlColour(HDC dc) override { return Colours(dc, GetSysColor(COLOR_BTNFACE)); }

protected:
    void ShowValue(bool selected) override;
};

class Win32Frame final : public Windowed<core::Frame>, public Container {
public:
    explicit Win32Frame(const core::ControlArgs& args);

    HWND ContainerHandle() const override { return m_Hwnd; }
    void Detach() override {
        CutAccessible();
        Windowed::Detach();
    }
    LRESULT HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void PaintBackground(HDC dc, const RECT& client) const override;

    const std::wstring m_Caption;  // as drawn; a frame's caption never changes
};

}  // namespace ponderix::platform::win32::detail
