#include "platform/core/CoreWindow.h"

#include <algorithm>
#include <exception>
#include <utility>

#include "platform/Error.h"
#include "platform/core/CoreTimer.h"
#include "platform/core/CoreUserControlHost.h"
#include "platform/core/HiddenPictureBox.h"
#include "platform/core/LayoutSupport.h"
#include "platform/core/WindowSystemBase.h"

namespace ponderix::platform::core {

Window::Window(WindowSystemBase& system, const WindowSpec& layout)
    : m_System(system), m_Layout(layout) {
    m_System.Add(this);
}

Window::~Window() {
    // A backend's destructor disposes of the window while its native side still
    // exists; here only the system forgets it.
    m_System.Remove(this);
}

void Window::Dispose() {
    if (m_Loaded) {
        // Goes as Unload goes, owned windows first, but raises no event of its
        // own: nobody may handle one of an object that is being destroyed.
        for (Window* other : std::vector<Window*>(m_System.Windows())) {
            if (m_System.IsAlive(other) && other->m_Owner == this) {
                try {
                    other->Unload();
                } catch (...) {  // NOLINT(bugprone-empty-catch): a window that goes, goes
                }
            }
        }
        Shut(true);
        m_System.WindowUnloaded();
    }
    for (Window* other : m_System.Windows()) {
        if (other->m_Owner == this) {
            other->m_Owner = nullptr;
        }
    }
    m_TabChain.clear();
    m_Stack.clear();
    m_Index.clear();
    m_Entries.clear();  // the controls go while the backend's window still exists
}

void Window::Build() {
    try {
        for (const ControlSpec& row : m_Layout.Controls) {
            Entry entry{&row, MakeControl(row), nullptr};
            entry.Visible = dynamic_cast<VisibleControl*>(entry.Control.get());
            if (entry.Visible != nullptr) {
                m_Stack.push_back(entry.Visible);
            }
            m_Index[ControlKey(row.Name, row.Index)] = m_Entries.size();
            m_Entries.push_back(std::move(entry));
        }
        // Rows of a container run from the topmost down, and windowless controls
        // lie below all windowed ones: raising from the bottom up, windowless
        // first, leaves exactly that order.
        for (const bool windowed : {false, true}) {
            for (auto control = m_Stack.rbegin(); control != m_Stack.rend(); ++control) {
                if ((*control)->IsWindowed() == windowed) {
                    (*control)->Raise();
                }
            }
        }
        for (const ControlSpec* row : TabOrder(m_Layout)) {
            VisibleControl* control =
                m_Entries[m_Index.at(ControlKey(row->Name, row->Index))].Visible;
            if (control != nullptr && control->TakesFocus()) {
                m_TabChain.push_back(control);
            }
        }
        // User controls load once the whole window exists, as the window's code
        // may read their pictures and sizes from then on.
        for (Entry& entry : m_Entries) {
            if (auto* host = dynamic_cast<UserControlHost*>(entry.Control.get())) {
                host->Load();
            }
        }
        const WholePixelRect inner = InnerRect();
        m_ScaleWidth = static_cast<float>(inner.Width);
        m_ScaleHeight = static_cast<float>(inner.Height);
    } catch (...) {
        Dispose();
        throw;
    }
}

std::unique_ptr<IControl> Window::MakeControl(const ControlSpec& row) {
    VisibleControl* container = nullptr;
    if (!row.Container.empty()) {
        container = m_Entries[m_Index.at(std::string(row.Container))].Visible;
    }
    ControlArgs args{*this, row, ControlKey(row.Name, row.Index), row.Font.value_or(m_Layout.Font),
                     container};
    std::unique_ptr<VisibleControl> visible;
    switch (row.Kind) {
        case ControlKind::Label:
            visible = MakeLabel(args);
            break;
        case ControlKind::TextBox:
            visible = MakeTextBox(args);
            break;
        case ControlKind::ListBox:
            visible = MakeListBox(args);
            break;
        case ControlKind::OptionButton:
            visible = MakeOptionButton(args);
            break;
        case ControlKind::Frame:
            visible = MakeFrame(args);
            break;
        case ControlKind::Image:
            if (!row.Picture.File.empty()) {
                args.Picture = m_System.LoadPicture(row.Picture);
            }
            visible = MakeImage(args);
            break;
        case ControlKind::UserControl: {
            auto host = MakeUserControl(args, m_System.UserControlClasses().ClassOf(row.ClassId));
            host->Realise();
            host->CreateInstance();
            return host;
        }
        case ControlKind::Timer:
            return std::make_unique<Timer>(args);
        case ControlKind::PictureBox:
            return std::make_unique<HiddenPictureBox>(static_cast<float>(row.Rect.Width),
                                                      static_cast<float>(row.Rect.Height));
    }
    if (!visible) {
        throw PlatformError("the control '" + args.Key + "' could not be made");
    }
    visible->Realise();
    return std::unique_ptr<IControl>(dynamic_cast<IControl*>(visible.release()));
}

IControl& Window::Control(std::string_view name, int index) {
    const auto found = m_Index.find(ControlKey(name, index));
    if (found == m_Index.end()) {
        throw PlatformError("window '" + std::string(m_Layout.Name) + "' has no control '" +
                            ControlKey(name, index) + "'");
    }
    return *m_Entries[found->second].Control;
}

float Window::ScaleWidth() const {
    CheckLoaded(m_Layout.Name);
    return m_ScaleWidth;
}

float Window::ScaleHeight() const {
    CheckLoaded(m_Layout.Name);
    return m_ScaleHeight;
}

WindowHandle Window::Handle() const {
    return m_Loaded ? NativeHandle() : 0;
}

void Window::CheckLoaded(std::string_view key) const {
    if (!m_Loaded) {
        throw PlatformError("'" + std::string(key) + "' is gone: window '" +
                            std::string(m_Layout.Name) + "' is unloaded");
    }
}

std::vector<VisibleControl*> Window::Stacking(std::string_view container) const {
    std::vector<VisibleControl*> stack;
    for (VisibleControl* control : m_Stack) {
        if (control->Row().Container == container) {
            stack.push_back(control);
        }
    }
    return stack;
}

void Window::BringToFront(VisibleControl& control) {
    const auto found = std::find(m_Stack.begin(), m_Stack.end(), &control);
    if (found != m_Stack.end()) {
        std::rotate(m_Stack.begin(), found, found + 1);
    }
    control.Raise();
}

// ---------------------------------------------------------------------------
// Showing and placing

void Window::Show(IWindow* owner) {
    CheckLoaded(m_Layout.Name);
    m_System.CheckOperation("Window.Show", m_Layout.Name);
    if (m_Shown) {
        ShowNative(true);
        return;
    }
    m_Shown = true;
    auto* ownerWindow = dynamic_cast<Window*>(owner);
    if (ownerWindow != nullptr && ownerWindow != this && ownerWindow->IsLoaded()) {
        m_Owner = ownerWindow;
        MakeOwned(*ownerWindow);
    }
    Place();
    const WholePixelRect inner = InnerRect();
    m_ScaleWidth = static_cast<float>(inner.Width);
    m_ScaleHeight = static_cast<float>(inner.Height);
    // Resize places the controls before anybody sees them; the window shows
    // even when the handler fails, and the failure then goes to the caller.
    std::exception_ptr failure;
    try {
        Resize.Raise();
    } catch (...) {
        failure = std::current_exception();
    }
    if (m_Loaded) {
        ShowNative(false);
        FocusFirst();
    }
    if (failure) {
        std::rethrow_exception(failure);
    }
}

// Centred on its owner or on the screen's work area; where it does not fit,
// its top-left corner stays on the work area.
void Window::Place() {
    const WholePixelRect work = WorkArea();
    const WholePixelRect outer = OuterRect();
    WholePixelRect around = work;
    if (m_Layout.StartPosition == StartPosition::CentreOwner && m_Owner != nullptr &&
        !m_Owner->m_Minimised) {
        around = m_Owner->OuterRect();
    }
    int left = around.Left + (around.Width - outer.Width) / 2;
    int top = around.Top + (around.Height - outer.Height) / 2;
    left = std::max(work.Left, std::min(left, work.Left + work.Width - outer.Width));
    top = std::max(work.Top, std::min(top, work.Top + work.Height - outer.Height));
    MoveTo(left, top);
}

void Window::Minimise() {
    CheckLoaded(m_Layout.Name);
    m_System.CheckOperation("Window.Minimise", m_Layout.Name);
    MinimiseNative();
}

void Window::InnerSizeChanged() {
    if (!m_Loaded || !m_Shown) {
        return;
    }
    const WholePixelRect inner = InnerRect();
    const auto width = static_cast<float>(inner.Width);
    const auto height = static_cast<float>(inner.Height);
    if (width == m_ScaleWidth && height == m_ScaleHeight) {
        return;
    }
    m_ScaleWidth = width;
    m_ScaleHeight = height;
    Resize.Raise();
}

void Window::RescaleControls(float oldTwipsPerPixel) {
    if (!m_Loaded || oldTwipsPerPixel == TwipsPerPixel()) {
        return;
    }
    // Containers first: the rows list a frame before what it holds.
    for (Entry& entry : m_Entries) {
        if (entry.Visible != nullptr) {
            entry.Visible->Rescale(oldTwipsPerPixel);
        }
    }
}

// Owned windows hide while their owner is minimised and come back with it.
void Window::MinimisedChanged(bool minimised) {
    if (minimised == m_Minimised) {
        return;
    }
    m_Minimised = minimised;
    for (Window* other : std::vector<Window*>(m_System.Windows())) {
        if (m_System.IsAlive(other) && other->m_Owner == this && other->m_Loaded &&
            other->m_Shown) {
            other->HideWithOwner(minimised);
        }
    }
}

// ---------------------------------------------------------------------------
// Going

void Window::Unload() {
    if (!m_Loaded) {
        return;
    }
    std::exception_ptr failure;
    for (Window* other : std::vector<Window*>(m_System.Windows())) {
        // An earlier window's Unloaded handler may have destroyed this one.
        if (!m_System.IsAlive(other) || other->m_Owner != this) {
            continue;
        }
        try {
            other->Unload();
        } catch (...) {
            if (!failure) {
                failure = std::current_exception();
            }
        }
    }
    if (m_Loaded) {  // unless a handler above unloaded this window already
        m_Loaded = false;
        m_Shown = false;
        Shut(true);
        m_System.WindowUnloaded();
        // The handler may destroy this object: nothing is touched after it.
        Unloaded.Raise();
    }
    if (failure) {
        std::rethrow_exception(failure);
    }
}

void Window::DestroyedByDesktop() {
    if (!m_Loaded) {
        return;
    }
    m_Shown = false;
    Shut(false);
    m_System.WindowUnloaded();
    Unloaded.Raise();
}

void Window::Shut(bool destroyNative) {
    m_Loaded = false;
    for (Entry& entry : m_Entries) {
        if (auto* timer = dynamic_cast<Timer*>(entry.Control.get())) {
            timer->Stop();
        } else if (auto* host = dynamic_cast<UserControlHost*>(entry.Control.get())) {
            host->StopTimers();
        }
        if (entry.Visible != nullptr) {
            entry.Visible->Detach();
        }
    }
    if (destroyNative) {
        DestroyNative();
    }
}

// ---------------------------------------------------------------------------
// The keyboard focus

bool Window::CanFocus(const VisibleControl& control) const {
    if (!control.IsReachable()) {
        return false;
    }
    const auto* option = dynamic_cast<const OptionButton*>(&control);
    if (option == nullptr) {
        return true;
    }
    // A group is entered at its selected button, or at any while none is.
    if (option->Value()) {
        return true;
    }
    const auto group = Stacking(control.Row().Container);
    return std::none_of(group.begin(), group.end(), [](const VisibleControl* other) {
        const auto* sibling = dynamic_cast<const OptionButton*>(other);
        return sibling != nullptr && sibling->Value();
    });
}

void Window::FocusControl(VisibleControl& control) {
    control.Focus();
    if (auto* box = dynamic_cast<TextBox*>(&control)) {
        box->SelectAll();
    }
}

VisibleControl* Window::Focused() const {
    for (const Entry& entry : m_Entries) {
        if (entry.Visible != nullptr && entry.Visible->HasFocus()) {
            return entry.Visible;
        }
    }
    return nullptr;
}

void Window::FocusFirst() {
    for (VisibleControl* control : m_TabChain) {
        if (CanFocus(*control)) {
            FocusControl(*control);
            return;
        }
    }
}

void Window::FocusNext(bool backwards) {
    if (!m_Loaded) {
        return;
    }
    ShowKeyboardCues();
    if (m_TabChain.empty()) {
        return;
    }
    const VisibleControl* focused = Focused();
    const auto count = static_cast<std::ptrdiff_t>(m_TabChain.size());
    std::ptrdiff_t at = backwards ? count : -1;
    if (const auto found = std::find(m_TabChain.begin(), m_TabChain.end(), focused);
        found != m_TabChain.end()) {
        at = found - m_TabChain.begin();
    }
    const bool inGroup = dynamic_cast<const OptionButton*>(focused) != nullptr;
    for (std::ptrdiff_t step = 1; step <= count; ++step) {
        const std::ptrdiff_t next = ((at + (backwards ? -step : step)) % count + count) % count;
        VisibleControl* control = m_TabChain[static_cast<std::size_t>(next)];
        // The other buttons of the focused button's group are one stop with it.
        if (inGroup && dynamic_cast<OptionButton*>(control) != nullptr &&
            control->Row().Container == focused->Row().Container) {
            continue;
        }
        if (CanFocus(*control)) {
            FocusControl(*control);
            return;
        }
    }
}

bool Window::MoveInGroup(bool backwards) {
    auto* focused = m_Loaded ? dynamic_cast<OptionButton*>(Focused()) : nullptr;
    if (focused == nullptr) {
        return false;
    }
    ShowKeyboardCues();
    std::vector<OptionButton*> group;
    for (VisibleControl* control : m_TabChain) {
        auto* option = dynamic_cast<OptionButton*>(control);
        if (option != nullptr && option->Row().Container == focused->Row().Container) {
            group.push_back(option);
        }
    }
    const auto count = static_cast<std::ptrdiff_t>(group.size());
    const std::ptrdiff_t at = std::find(group.begin(), group.end(), focused) - group.begin();
    for (std::ptrdiff_t step = 1; step < count; ++step) {
        OptionButton* next = group[static_cast<std::size_t>(
            ((at + (backwards ? -step : step)) % count + count) % count)];
        if (next->IsReachable()) {
            FocusControl(*next);
            // A native button may have selected itself on taking the focus.
            if (!next->Value()) {
                next->UserSelected();
            }
            return true;
        }
    }
    return true;
}

void Window::ShowKeyboardCues() {
    if (m_KeyboardCues) {
        return;
    }
    m_KeyboardCues = true;
    for (Entry& entry : m_Entries) {
        if (entry.Visible != nullptr) {
            entry.Visible->KeyboardCuesShown();
        }
    }
}

// ---------------------------------------------------------------------------
// The keyboard beyond the controls' own keys

bool Window::KeyPressed(std::int16_t keyCode, std::int16_t shift) {
    if (!m_Loaded) {
        return false;
    }
    const auto onButton = [this] {
        const VisibleControl* focused = Focused();
        return focused != nullptr && focused->IsButton();
    };
    if (keyCode == KeyCode::Space && !onButton()) {
        return false;  // the focused control's own: a character, a choice
    }
    ShowKeyboardCues();
    // The handler may unload the window, or destroy it.
    WindowSystemBase& system = m_System;
    std::int16_t code = keyCode;
    std::int16_t state = shift;
    KeyDown.Raise(code, state);
    if (!system.IsAlive(this) || !m_Loaded || code == 0) {
        return true;
    }
    switch (code) {
        case KeyCode::Return:
            if (VisibleControl* target = onButton() ? Focused() : DefaultButton()) {
                return Press(*target);
            }
            return false;
        case KeyCode::Space:
            return onButton() && Press(*Focused());
        case KeyCode::Escape:
            if (m_Layout.CloseOnEscape) {
                Unload();
                return true;
            }
            return false;
        default:
            return false;
    }
}

bool Window::Press(VisibleControl& control) {
    if (!m_Loaded || !control.IsReachable()) {
        return false;
    }
    WindowSystemBase& system = m_System;
    VisibleControl* const pressing = std::exchange(m_Pressing, &control);
    bool clicked = false;
    try {
        clicked = control.ClickWithoutMouse();
    } catch (...) {
        if (system.IsAlive(this)) {
            m_Pressing = pressing;
        }
        throw;
    }
    if (system.IsAlive(this)) {
        m_Pressing = pressing;
    }
    return clicked;
}

VisibleControl* Window::DefaultButton() const {
    for (const Entry& entry : m_Entries) {
        if (entry.Row->Default && entry.Visible != nullptr && entry.Visible->IsReachable()) {
            return entry.Visible;
        }
    }
    return nullptr;
}

void Window::Announce(std::string_view text) {
    CheckLoaded(m_Layout.Name);
    m_System.CheckOperation("Window.Announce", m_Layout.Name);
    AnnounceNative(std::string(text));
}

ScreenPoint Window::PopupPoint() {
    CheckLoaded(m_Layout.Name);
    if (m_Pressing != nullptr) {
        const WholePixelRect rect = ScreenRect(*m_Pressing);
        return {rect.Left + rect.Width, rect.Top + rect.Height};
    }
    return m_System.CursorPos();
}

ScreenPoint Window::InnerOrigin() const {
    const WholePixelRect outer = OuterRect();
    return {outer.Left, outer.Top};
}

WholePixelRect Window::ScreenRect(const VisibleControl& control) const {
    ScreenPoint origin = InnerOrigin();
    for (const VisibleControl* container = control.Container(); container != nullptr;
         container = container->Container()) {
        const WholePixelRect placed = ToWholePixels(container->Bounds());
        origin.X += placed.Left;
        origin.Y += placed.Top;
    }
    const WholePixelRect placed = ToWholePixels(control.Bounds());
    return {origin.X + placed.Left, origin.Y + placed.Top, placed.Width, placed.Height};
}

// ---------------------------------------------------------------------------
// Screen readers

AccessibleRole Window::Role() const {
    return m_Layout.Border == WindowBorder::FixedDialog ? AccessibleRole::Dialog
                                                        : AccessibleRole::Window;
}

VisibleControl* Window::FindVisible(std::string_view key) const {
    const auto found = m_Index.find(key);
    return found != m_Index.end() ? m_Entries[found->second].Visible : nullptr;
}

void Window::CaptionChanged(VisibleControl& label) {
    if (label.Row().AccessibleName.empty()) {
        label.AccessibleNameChanged();
    }
    for (Entry& entry : m_Entries) {
        if (entry.Visible != nullptr && entry.Row->AccessibleName.empty() &&
            entry.Row->LabelledBy == label.Key()) {
            entry.Visible->AccessibleNameChanged();
        }
    }
}

}  // namespace ponderix::platform::core
