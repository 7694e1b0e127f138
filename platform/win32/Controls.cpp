// Labels, images, text box, list box, option buttons, frames and timers.
#include <algorithm>

#include "platform/win32/Backend.h"

namespace ponderix::platform::win32::detail {
namespace {

DWORD BorderStyle(Border border) {
    return border == Border::FlatSingle ? WS_BORDER : 0;
}

DWORD BorderExStyle(Border border) {
    return border == Border::Sunken3D ? WS_EX_CLIENTEDGE : 0;
}

const FontSpec& FontOf(const ControlSpec& row, const TopWindow& window) {
    return row.Font ? *row.Font : window.Layout().Font;
}

}  // namespace

// ---------------------------------------------------------------------------
// What all controls share

ControlCore::ControlCore(TopWindow& window, Container* container, const ControlSpec& row,
                         std::string key)
    : m_Window(window), m_Container(container), m_Row(row), m_Key(std::move(key)) {}

void ControlCore::CheckLoaded() const {
    m_Window.CheckLoaded();
}

System& ControlCore::Sys() const {
    return m_Window.Sys();
}

Windowless::Windowless(TopWindow& window, Container& container, const ControlSpec& row)
    : ControlCore(window, &container, row, ControlKey(row.Name, row.Index)),
      m_Bounds(ToPixels(row.Rect)),
      m_Visible(row.Visible),
      m_Enabled(row.Enabled) {}

void Windowless::Repaint() const {
    m_Container->Invalidate(PixelBounds());
}

void Windowless::ChangeBounds(const PixelRect& bounds) {
    Repaint();
    m_Bounds = bounds;
    Repaint();
}

Windowed::Windowed(TopWindow& window, Container& container, const ControlSpec& row)
    : ControlCore(window, &container, row, ControlKey(row.Name, row.Index)),
      m_Bounds(ToPixels(row.Rect)),
      m_Visible(row.Visible),
      m_Enabled(row.Enabled) {}

void Windowed::CreateNative(const wchar_t* windowClass, const std::wstring& text, DWORD style,
                            DWORD exStyle, MessageTarget* target) {
    const WholePixelRect rect = ToWholePixels(m_Bounds);
    style |=
        WS_CHILD | WS_CLIPSIBLINGS | (m_Visible ? WS_VISIBLE : 0) | (m_Enabled ? 0 : WS_DISABLED);
    m_Hwnd = CreateWindowExW(exStyle, windowClass, text.c_str(), style, rect.Left, rect.Top,
                             rect.Width, rect.Height, m_Container->ContainerHandle(), nullptr,
                             Sys().Instance(), target);
    if (m_Hwnd == nullptr) {
        Fail("the control '" + m_Key + "' could not be made");
    }
}

void Windowed::PlaceNative() const {
    const WholePixelRect rect = ToWholePixels(m_Bounds);
    SetWindowPos(m_Hwnd, nullptr, rect.Left, rect.Top, std::max(rect.Width, 0),
                 std::max(rect.Height, 0), SWP_NOZORDER | SWP_NOACTIVATE);
}

void Windowed::SetFont(HFONT font) const {
    SendMessageW(m_Hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
}

HBRUSH Windowed::Colours(HDC dc, COLORREF defaultBack) const {
    const COLORREF back = m_Row.BackColour ? ToColorRef(*m_Row.BackColour) : defaultBack;
    SetTextColor(dc, ToColorRef(m_Row.ForeColour));
    SetBkColor(dc, back);
    return Sys().Brushes().Get(back);
}

// ---------------------------------------------------------------------------
// Labels

Label::Label(TopWindow& window, Container& container, const ControlSpec& row)
    : WindowlessControl(window, container, row),
      m_Caption(row.Caption),
      m_Drawn(ToDrawnText(row.Caption)),
      m_Points(FontOf(row, window).Points),
      m_ForeColour(row.ForeColour) {
    if (row.AutoSize) {
        FitToText();
    }
}

HFONT Label::Font() const {
    return Sys().Fonts().Get(FontOf(m_Row, m_Window), m_Points);
}

int Label::BorderWidth() const {
    switch (m_Row.Border) {
        case Border::FlatSingle:
            return 1;
        case Border::Sunken3D:
            return 2;
        case Border::None:
            break;
    }
    return 0;
}

void Label::SetCaption(std::string_view caption) {
    CheckLoaded();
    m_Caption = caption;
    m_Drawn = ToDrawnText(caption);
    if (m_Row.AutoSize) {
        FitToText();
    }
    Repaint();
}

void Label::SetFontSize(float points) {
    CheckLoaded();
    m_Points = points;
    if (m_Row.AutoSize) {
        FitToText();
    }
    Repaint();
}

void Label::SetForeColour(Colour colour) {
    CheckLoaded();
    m_ForeColour = colour;
    Repaint();
}

void Label::FitToText() {
    HDC dc = GetDC(nullptr);
    HGDIOBJ initial = SelectObject(dc, Font());
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
    ChangeBounds({m_Bounds.Left, m_Bounds.Top, static_cast<float>(extent.right + border),
                  static_cast<float>(extent.bottom + border)});
}

void Label::Paint(HDC dc) {
    RECT area = ToRect(PixelBounds());
    if (m_Row.BackColour) {
        FillRect(dc, &area, Sys().Brushes().Get(ToColorRef(*m_Row.BackColour)));
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
    UINT format = DT_WORDBREAK;  // prefix processing on: "&&" shows as "&"
    switch (m_Row.Alignment) {
        case Alignment::Left:
            format |= DT_LEFT;
            break;
        case Alignment::Centre:
            format |= DT_CENTER;
            break;
        case Alignment::Right:
            format |= DT_RIGHT;
            break;
    }
    // Transparent: whatever lies below shows between the letters.
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, m_Enabled ? ToColorRef(m_ForeColour) : GetSysColor(COLOR_GRAYTEXT));
    HGDIOBJ initial = SelectObject(dc, Font());
    DrawTextW(dc, m_Drawn.c_str(), static_cast<int>(m_Drawn.size()), &area, format);
    SelectObject(dc, initial);
}

// ---------------------------------------------------------------------------
// Images

Image::Image(TopWindow& window, Container& container, const ControlSpec& row)
    : WindowlessControl(window, container, row) {
    if (!row.Picture.File.empty()) {
        m_Picture = window.Sys().LoadPicture(row.Picture);
    }
}

void Image::Paint(HDC dc) {
    if (m_Picture.IsEmpty()) {
        return;
    }
    // At natural size; the container clips it to the image's rectangle.
    const WholePixelRect area = PixelBounds();
    DrawBitmap(dc, area.Left, area.Top, m_Picture.Pixels());
}

// ---------------------------------------------------------------------------
// Text box

TextBox::TextBox(TopWindow& window, Container& container, const ControlSpec& row)
    : WindowedControl(window, container, row) {
    DWORD style = ES_AUTOHSCROLL;
    switch (row.Alignment) {
        case Alignment::Left:
            style |= ES_LEFT;
            break;
        case Alignment::Centre:
            style |= ES_CENTER;
            break;
        case Alignment::Right:
            style |= ES_RIGHT;
            break;
    }
    CreateNative(L"EDIT", Widen(row.Caption), style, BorderExStyle(row.Border));
    SendMessageW(m_Hwnd, EM_SETLIMITTEXT, 0, 0);  // no limit beyond the desktop's own
    SetFont(Sys().Fonts().Get(FontOf(row, window), FontOf(row, window).Points));
    // Two pixels each side, as the classic EDIT keeps them: the margins that
    // newer desktops derive from a large TrueType font (ten pixels for the
    // weight box's) would leave too little room for a five-character weight.
    SendMessageW(m_Hwnd, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(2, 2));
    if (row.Border == Border::FlatSingle) {
        SetWindowLongPtrW(m_Hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        m_EditProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(
            m_Hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TextBox::FlatBorderProc)));
        SetWindowPos(m_Hwnd, nullptr, 0, 0, 0, 0,
                     SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

LRESULT CALLBACK TextBox::FlatBorderProc(HWND hwnd, UINT message, WPARAM wParam,
                                         LPARAM lParam) noexcept {
    const auto* box = reinterpret_cast<const TextBox*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    const LRESULT result = CallWindowProcW(box->m_EditProc, hwnd, message, wParam, lParam);
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

std::string TextBox::Text() const {
    CheckLoaded();
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(m_Hwnd)) + 1, L'\0');
    const int copied = GetWindowTextW(m_Hwnd, text.data(), static_cast<int>(text.size()));
    text.resize(static_cast<std::size_t>(std::max(copied, 0)));
    return Narrow(text);
}

void TextBox::SetText(std::string_view text) {
    CheckLoaded();
    if (!SetWindowTextW(m_Hwnd, Widen(text).c_str())) {
        Fail("the text of '" + m_Key + "' could not be set");
    }
}

HBRUSH TextBox::OnControlColour(HDC dc) {
    return Colours(dc, GetSysColor(COLOR_WINDOW));
}

bool TextBox::CanTakeFocus() const {
    return m_Hwnd != nullptr && m_Visible && m_Enabled;
}

// ---------------------------------------------------------------------------
// List box

ListBox::ListBox(TopWindow& window, Container& container, const ControlSpec& row)
    : WindowedControl(window, container, row) {
    // Not of integral height: the layout's rectangle is the list's rectangle.
    const DWORD style =
        WS_VSCROLL | LBS_NOTIFY | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT | BorderStyle(row.Border);
    CreateNative(L"LISTBOX", L"", style, BorderExStyle(row.Border));
    SetFont(Sys().Fonts().Get(FontOf(row, window), FontOf(row, window).Points));
}

void ListBox::AddItem(std::string_view text) {
    CheckLoaded();
    const std::wstring row = Widen(text);
    const LRESULT added =
        SendMessageW(m_Hwnd, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(row.c_str()));
    if (added == LB_ERR || added == LB_ERRSPACE) {
        Fail("a row could not be added to '" + m_Key + "'");
    }
}

int ListBox::ListCount() const {
    CheckLoaded();
    return static_cast<int>(SendMessageW(m_Hwnd, LB_GETCOUNT, 0, 0));
}

std::string ListBox::List(int row) const {
    if (row < 0 || row >= ListCount()) {
        throw PlatformError("list row " + std::to_string(row) + " does not exist");
    }
    const auto index = static_cast<WPARAM>(row);
    const LRESULT length = SendMessageW(m_Hwnd, LB_GETTEXTLEN, index, 0);
    if (length == LB_ERR) {
        Fail("list row " + std::to_string(row) + " could not be read");
    }
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const LRESULT copied =
        SendMessageW(m_Hwnd, LB_GETTEXT, index, reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(std::max<LRESULT>(copied, 0)));
    return Narrow(text);
}

int ListBox::ListIndex() const {
    CheckLoaded();
    const LRESULT selected = SendMessageW(m_Hwnd, LB_GETCURSEL, 0, 0);
    return selected == LB_ERR ? -1 : static_cast<int>(selected);
}

void ListBox::SetListIndex(int row) {
    if (row < -1 || row >= ListCount()) {
        throw PlatformError("invalid list index " + std::to_string(row));
    }
    // -1 clears the selection; the row selected is scrolled into view.
    SendMessageW(m_Hwnd, LB_SETCURSEL, static_cast<WPARAM>(row), 0);
}

HBRUSH ListBox::OnControlColour(HDC dc) {
    return Colours(dc, GetSysColor(COLOR_WINDOW));
}

bool ListBox::CanTakeFocus() const {
    return m_Hwnd != nullptr && m_Visible && m_Enabled;
}

// ---------------------------------------------------------------------------
// Option buttons: plain radio buttons whose grouping is ours (each container
// is one group), so that a window's frames never reach into each other.

OptionButton::OptionButton(TopWindow& window, Container& container, const ControlSpec& row)
    : WindowedControl(window, container, row), m_Value(row.Value) {
    CreateNative(L"BUTTON", Widen(row.Caption), BS_RADIOBUTTON, 0);
    SetFont(Sys().Fonts().Get(FontOf(row, window), FontOf(row, window).Points));
    SendMessageW(m_Hwnd, BM_SETCHECK, m_Value ? BST_CHECKED : BST_UNCHECKED, 0);
}

void OptionButton::SetValue(bool selected) {
    CheckLoaded();
    if (selected) {
        for (OptionButton* other : m_Window.OptionsIn(m_Container)) {
            if (other != this) {
                other->Deselect();
            }
        }
    }
    m_Value = selected;
    SendMessageW(m_Hwnd, BM_SETCHECK, selected ? BST_CHECKED : BST_UNCHECKED, 0);
}

void OptionButton::Deselect() {
    m_Value = false;
    if (m_Hwnd != nullptr) {
        SendMessageW(m_Hwnd, BM_SETCHECK, BST_UNCHECKED, 0);
    }
}

void OptionButton::OnCommand(WORD code) {
    if (code == BN_CLICKED) {  // the user's click (or space bar), never SetValue
        SetValue(true);
        Click.Raise();
    }
}

HBRUSH OptionButton::OnControlColour(HDC dc) {
    return Colours(dc, GetSysColor(COLOR_BTNFACE));
}

bool OptionButton::CanTakeFocus() const {
    if (m_Hwnd == nullptr || !m_Visible || !m_Enabled) {
        return false;
    }
    // Tab reaches a group at its selected button, or at any while none is.
    const auto group = m_Window.OptionsIn(m_Container);
    return m_Value || std::none_of(group.begin(), group.end(),
                                   [](const OptionButton* option) { return option->Value(); });
}

// ---------------------------------------------------------------------------
// Frames

Frame::Frame(TopWindow& window, Container& container, const ControlSpec& row)
    : WindowedControl(window, container, row), Container(window) {
    CreateNative(FrameClass, Widen(row.Caption), WS_CLIPCHILDREN, WS_EX_CONTROLPARENT,
                 static_cast<MessageTarget*>(this));
}

LRESULT Frame::HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (HandleContainerMessage(hwnd, message, wParam, lParam, result)) {
        return result;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

void Frame::PaintBackground(HDC dc, const RECT& client) const {
    const COLORREF back =
        ToColorRef(m_Row.BackColour.value_or(Colour::System(SystemColour::ButtonFace)));
    FillRect(dc, &client, Sys().Brushes().Get(back));
    if (m_Row.Border == Border::None) {
        return;  // a frame without a border draws no caption either
    }
    // A group box: an etched line with the caption set into its top edge.
    HGDIOBJ initial = SelectObject(
        dc, Sys().Fonts().Get(FontOf(m_Row, m_Window), FontOf(m_Row, m_Window).Points));
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    RECT edge = client;
    edge.top += metrics.tmHeight / 2;
    if (m_Row.Border == Border::FlatSingle) {
        FrameRect(dc, &edge, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    } else {
        DrawEdge(dc, &edge, EDGE_ETCHED, BF_RECT);
    }
    const std::wstring caption = ToDrawnText(m_Row.Caption);
    if (!caption.empty()) {
        RECT text{client.left + 8, client.top, client.right - 8, client.top + metrics.tmHeight};
        SetBkMode(dc, OPAQUE);
        SetBkColor(dc, back);
        SetTextColor(dc, ToColorRef(m_Row.ForeColour));
        DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &text,
                  DT_SINGLELINE | DT_LEFT);
    }
    SelectObject(dc, initial);
}

// ---------------------------------------------------------------------------
// Timers: SetTimer on the window system's message window, one identifier each.

Timer::Timer(TopWindow& window, const ControlSpec& row, std::string key)
    : ControlCore(window, nullptr, row, std::move(key)),
      m_Id(window.Sys().AddTimer(this)),
      m_Enabled(row.Enabled),
      m_Interval(row.IntervalMs) {
    if (m_Enabled) {
        Start();
    }
}

Timer::~Timer() {
    KillTimer(Sys().TimerWindow(), m_Id);
    Sys().RemoveTimer(m_Id);
}

void Timer::SetEnabled(bool enabled) {
    CheckLoaded();
    if (enabled && !m_Enabled) {
        m_Enabled = true;
        Start();  // the interval starts anew
    } else if (!enabled) {
        m_Enabled = false;
        KillTimer(Sys().TimerWindow(), m_Id);
    }
}

void Timer::SetInterval(int milliseconds) {
    CheckLoaded();
    if (milliseconds < 0) {
        throw PlatformError("a timer's interval cannot be negative");
    }
    m_Interval = milliseconds;
    if (m_Enabled) {
        Start();
    }
}

void Timer::Start() {
    if (m_Interval <= 0) {  // an interval of 0 does not tick
        KillTimer(Sys().TimerWindow(), m_Id);
        return;
    }
    // Shorter intervals than USER_TIMER_MINIMUM tick at that rate.
    if (SetTimer(Sys().TimerWindow(), m_Id, static_cast<UINT>(m_Interval), nullptr) == 0) {
        Fail("the timer '" + m_Key + "' could not be started");
    }
}

void Timer::Stop() {
    m_Enabled = false;
    KillTimer(Sys().TimerWindow(), m_Id);
}

void Timer::Fire() {
    // A handler that processes messages (DoEvents) does not tick into itself.
    if (m_Firing || !m_Enabled) {
        return;
    }
    m_Firing = true;
    Guarded([this] { Tick.Raise(); });
    m_Firing = false;
}

}  // namespace ponderix::platform::win32::detail
