// Labels, images, text box, list box, option buttons and frames.
#include "platform/win32/Win32Controls.h"

namespace ponderix::platform::win32::detail {
namespace {

// The flag of the alignment, of three that a native call takes.
UINT Aligned(Alignment alignment, UINT left, UINT centre, UINT right) {
    return alignment == Alignment::Centre ? centre : alignment == Alignment::Right ? right : left;
}

DWORD BorderExStyle(Border border) {
    return border == Border::Sunken3D ? WS_EX_CLIENTEDGE : 0;
}

// The flat border of a text box: a black line in a non-client frame of our own,
// the same on every desktop (an EDIT draws WS_BORDER its own way).
WNDPROC g_EditProc = nullptr;

LRESULT CALLBACK FlatBorderProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    const LRESULT result = CallWindowProcW(g_EditProc, hwnd, message, wParam, lParam);
    if (message == WM_NCCALCSIZE) {
        // One pixel all round is the border's.
        auto* client = wParam != 0 ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam)->rgrc[0]
                                   : reinterpret_cast<RECT*>(lParam);
        InflateRect(client, -1, -1);
    } else if (message == WM_NCPAINT) {
        RECT outer{};
        GetWindowRect(hwnd, &outer);
        OffsetRect(&outer, -outer.left, -outer.top);
        HDC dc = GetWindowDC(hwnd);
        FrameRect(dc, &outer, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        ReleaseDC(hwnd, dc);
    }
    return result;
}

}  // namespace

HWND CreateChild(const core::ControlArgs& args, const wchar_t* windowClass, std::string_view text,
                 DWORD style, DWORD exStyle, MessageTarget* target) {
    const ControlSpec& row = args.Row;
    const auto pixels = [&args](int twips) {
        return args.Window.TwipsToPixels(static_cast<float>(twips));
    };
    const WholePixelRect rect = ToWholePixels({pixels(row.Rect.Left), pixels(row.Rect.Top),
                                               pixels(row.Rect.Width), pixels(row.Rect.Height)});
    style |= WS_CHILD | WS_CLIPSIBLINGS | (row.Visible ? WS_VISIBLE : 0) |
             (row.Enabled ? 0 : WS_DISABLED);
    Desktop& desktop = DesktopOf(args.Window);
    HWND hwnd = CreateWindowExW(
        exStyle, windowClass, Widen(text).c_str(), style, rect.Left, rect.Top, rect.Width,
        rect.Height, ContainerOf(args).ContainerHandle(), nullptr, desktop.Instance(), target);
    if (hwnd == nullptr) {
        Fail("the control '" + args.Key + "' could not be made");
    }
    SendMessageW(hwnd, WM_SETFONT,
                 reinterpret_cast<WPARAM>(desktop.Font(args.Font, DpiOf(args.Window))), FALSE);
    return hwnd;
}

// ---------------------------------------------------------------------------
// Labels

Win32Label::Win32Label(const core::ControlArgs& args)
    : Painted(args), m_Drawn(ToDrawnText(args.Row.Caption)) {}

int Win32Label::BorderWidth() const {
    return m_Row.Border == Border::FlatSingle ? 1 : m_Row.Border == Border::Sunken3D ? 2 : 0;
}

void Win32Label::ShowCaption(std::string_view caption) {
    m_Drawn = ToDrawnText(caption);
    Repaint();
}

WholePixelRect Win32Label::FittedSize() const {
    HDC dc = GetDC(nullptr);
    HGDIOBJ initial = SelectObject(dc, m_Desktop.Font(m_Font, DpiOf(m_Window)));
    RECT extent{0, 0, 0, 0};
    if (m_Drawn.empty()) {
        TEXTMETRICW metrics{};
        GetTextMetricsW(dc, &metrics);
        extent.bottom = metrics.tmHeight;
    } else {
        DrawTextW(dc, m_Drawn.c_str(), static_cast<int>(m_Drawn.size()), &extent, DT_CALCRECT);
    }
    SelectObject(dc, initial);
    ReleaseDC(nullptr, dc);
    const int border = 2 * BorderWidth();
    return {0, 0, extent.right + border, extent.bottom + border};
}

void Win32Label::Paint(HDC dc) {
    RECT area = ToRect(ToWholePixels(m_Bounds));
    if (m_Row.BackColour) {
        FillRect(dc, &area, m_Desktop.Brush(ToColorRef(*m_Row.BackColour)));
    }
    switch (m_Row.Border) {
        case Border::FlatSingle:
            FrameRect(dc, &area, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
            InflateRect(&area, -1, -1);
            break;
        case Border::Sunken3D:
            DrawEdge(dc, &area, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
            break;
        case Border::None:
            break;
    }
    // Prefix processing on: "&&" shows as "&".
    const UINT format = DT_WORDBREAK | Aligned(m_Row.Alignment, DT_LEFT, DT_CENTER, DT_RIGHT);
    // Transparent: whatever lies below shows between the letters.
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, IsEnabled() ? ToColorRef(ForeColour()) : GetSysColor(COLOR_GRAYTEXT));
    HGDIOBJ initial = SelectObject(dc, m_Desktop.Font(m_Font, DpiOf(m_Window)));
    DrawTextW(dc, m_Drawn.c_str(), static_cast<int>(m_Drawn.size()), &area, format);
    SelectObject(dc, initial);
}

// ---------------------------------------------------------------------------
// Images

void Win32Image::Paint(HDC dc) {
    if (m_Picture.IsEmpty()) {
        return;
    }
    // At natural size (the set for this screen, on the pixels its natural
    // size covers here); the container clips it to the image's rectangle.
    const float scale = ScaleOf(m_Window);
    const WholePixelRect area = PictureArea(m_Picture, scale, m_Bounds.Left, m_Bounds.Top);
    DrawBitmap(dc, area.Left, area.Top, m_Shown.Pixels(m_Picture, scale, area.Width, area.Height));
}

// ---------------------------------------------------------------------------
// Text box

Win32TextBox::Win32TextBox(const core::ControlArgs& args) : Windowed(args) {
    const DWORD style = ES_AUTOHSCROLL | Aligned(args.Row.Alignment, ES_LEFT, ES_CENTER, ES_RIGHT);
    m_Hwnd = CreateChild(args, L"EDIT", args.Row.Caption, style, BorderExStyle(args.Row.Border));
    SendMessageW(m_Hwnd, EM_SETLIMITTEXT, 0, 0);  // no limit beyond the desktop's own
    SetMargins();
    if (args.Row.Border == Border::FlatSingle) {
        // Every EDIT has the same window procedure: the class's.
        g_EditProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(m_Hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&FlatBorderProc)));
        SetWindowPos(m_Hwnd, nullptr, 0, 0, 0, 0,
                     SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    AnswerForStandardControl(m_Hwnd, m_Accessible);
}

// Two pixels each side at 96 dots per inch, as the classic EDIT keeps them:
// the margins that newer desktops derive from a large TrueType font (ten
// pixels for the weight box's) would leave too little room for a
// five-character weight.
void Win32TextBox::SetMargins() {
    const int margin = ScaledPixels(2, DpiOf(m_Window));
    SendMessageW(m_Hwnd, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(margin, margin));
}

void Win32TextBox::Rescale(float oldTwipsPerPixel) {
    Windowed::Rescale(oldTwipsPerPixel);
    SetMargins();
}

std::string Win32TextBox::NativeText() const {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(m_Hwnd)) + 1, L'\0');
    const int copied = GetWindowTextW(m_Hwnd, text.data(), static_cast<int>(text.size()));
    text.resize(static_cast<std::size_t>(std::max(copied, 0)));
    return Narrow(text);
}

void Win32TextBox::ShowText(std::string_view text) {
    if (!SetWindowTextW(m_Hwnd, Widen(text).c_str())) {
        Fail("the text of '" + m_Key + "' could not be set");
    }
}

void Win32TextBox::SelectAll() {
    SendMessageW(m_Hwnd, EM_SETSEL, 0, -1);
}

// ---------------------------------------------------------------------------
// List box

Win32ListBox::Win32ListBox(const core::ControlArgs& args) : Windowed(args) {
    // Not of integral height: the layout's rectangle is the list's rectangle.
    const DWORD style = WS_VSCROLL | LBS_NOTIFY | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT |
                        (args.Row.Border == Border::FlatSingle ? WS_BORDER : 0);
    m_Hwnd = CreateChild(args, L"LISTBOX", "", style, BorderExStyle(args.Row.Border));
    AnswerForStandardControl(m_Hwnd, m_Accessible);
}

void Win32ListBox::AddNativeItem(std::string_view text) {
    const std::wstring row = Widen(text);
    const LRESULT added =
        SendMessageW(m_Hwnd, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(row.c_str()));
    if (added == LB_ERR || added == LB_ERRSPACE) {
        Fail("a row could not be added to '" + m_Key + "'");
    }
}

int Win32ListBox::NativeListIndex() const {
    const LRESULT selected = SendMessageW(m_Hwnd, LB_GETCURSEL, 0, 0);
    return selected == LB_ERR ? -1 : static_cast<int>(selected);
}

// -1 clears the selection; the row selected is scrolled into view.
void Win32ListBox::SelectNative(int row) {
    SendMessageW(m_Hwnd, LB_SETCURSEL, static_cast<WPARAM>(row), 0);
}

// ---------------------------------------------------------------------------
// Option buttons

Win32OptionButton::Win32OptionButton(const core::ControlArgs& args) : Windowed(args) {
    m_Hwnd = CreateChild(args, L"BUTTON", args.Row.Caption, BS_RADIOBUTTON, 0);
    ShowValue(args.Row.Value);
    AnswerForStandardControl(m_Hwnd, m_Accessible);
}

void Win32OptionButton::ShowValue(bool selected) {
    SendMessageW(m_Hwnd, BM_SETCHECK, selected ? BST_CHECKED : BST_UNCHECKED, 0);
}

void Win32OptionButton::OnCommand(WORD code) {
    if (code == BN_CLICKED) {  // the user's click (or space bar), never SetValue
        UserSelected();
    }
}

// ---------------------------------------------------------------------------
// Frames

Win32Frame::Win32Frame(const core::ControlArgs& args)
    : Windowed(args),
      detail::Container(args.Window, args.Row.Name, this),
      m_Caption(ToDrawnText(args.Row.Caption)) {
    m_Hwnd = CreateChild(args, FrameClass, args.Row.Caption, WS_CLIPCHILDREN, WS_EX_CONTROLPARENT,
                         static_cast<MessageTarget*>(this));
}

LRESULT Win32Frame::HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (HandleContainerMessage(hwnd, message, wParam, lParam, result)) {
        return result;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

void Win32Frame::PaintBackground(HDC dc, const RECT& client) const {
    const COLORREF back =
        ToColorRef(m_Row.BackColour.value_or(Colour::System(SystemColour::ButtonFace)));
    FillRect(dc, &client, m_Desktop.Brush(back));
    if (m_Row.Border == Border::None) {
        return;  // a frame without a border draws no caption either
    }
    // A group box: an etched line with the caption set into its top edge.
    HGDIOBJ initial = SelectObject(dc, m_Desktop.Font(m_FontSpec, DpiOf(Window())));
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    RECT edge = client;
    edge.top += metrics.tmHeight / 2;
    if (m_Row.Border == Border::FlatSingle) {
        FrameRect(dc, &edge, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    } else {
        DrawEdge(dc, &edge, EDGE_ETCHED, BF_RECT);
    }
    if (!m_Caption.empty()) {
        const int inset = ScaledPixels(8, DpiOf(Window()));
        RECT text{client.left + inset, client.top, client.right - inset,
                  client.top + metrics.tmHeight};
        SetBkMode(dc, OPAQUE);
        SetBkColor(dc, back);
        SetTextColor(dc, ToColorRef(m_Row.ForeColour));
        DrawTextW(dc, m_Caption.c_str(), static_cast<int>(m_Caption.size()), &text,
                  DT_SINGLELINE | DT_LEFT);
    }
    SelectObject(dc, initial);
}

}  // namespace ponderix::platform::win32::detail
