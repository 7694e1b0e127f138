#include "platform/win32/Win32Accessible.h"

#include <oleacc.h>

#include <algorithm>
#include <climits>
#include <new>

namespace ponderix::platform::win32::detail {
namespace {

// A control that is gone, or never was.
constexpr HRESULT Gone = RPC_E_DISCONNECTED;

// Active Accessibility's own DLL, oleacc.dll, is none of the DLLs that Windows
// always takes from System32, and a program that imports it gets the first
// file of that name in its own folder: whatever lies beside ponderix.exe in a
// Downloads folder. So the program does not import it: the first reader's
// request loads it by name from System32 alone, its own imports included.
// Without it (no System32 copy, or none that loads) every object is the
// desktop's own, as for a window that answers nothing.
class Oleacc {
public:
    static const Oleacc& Get() {
        static const Oleacc loaded;
        return loaded;
    }

    HRESULT ObjectFromWindow(HWND hwnd, LONG object, REFIID iid, void** out) const {
        *out = nullptr;
        return m_ObjectFromWindow != nullptr
                   ? m_ObjectFromWindow(hwnd, static_cast<DWORD>(object), iid, out)
                   : E_NOTIMPL;
    }
    HRESULT StandardObject(HWND hwnd, LONG object, REFIID iid, void** out) const {
        *out = nullptr;
        return m_StandardObject != nullptr ? m_StandardObject(hwnd, object, iid, out) : E_NOTIMPL;
    }
    LRESULT Lresult(REFIID iid, WPARAM wParam, IUnknown* object) const {
        return m_Lresult != nullptr ? m_Lresult(iid, wParam, object) : 0;
    }

private:
    Oleacc() {
        // LOAD_LIBRARY_SEARCH_SYSTEM32 is unknown to a Windows 7 without
        // KB2533623, which refuses it as an invalid parameter; there the full
        // path does the same, its imports looked up beside it.
        HMODULE dll = LoadLibraryExW(L"oleacc.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
        if (dll == nullptr && GetLastError() == ERROR_INVALID_PARAMETER) {
            wchar_t path[MAX_PATH];
            const UINT length = GetSystemDirectoryW(path, MAX_PATH);
            constexpr wchar_t Name[] = L"\\oleacc.dll";
            if (length > 0 && length + std::size(Name) <= MAX_PATH) {
                std::copy(std::begin(Name), std::end(Name), path + length);
                dll = LoadLibraryExW(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
            }
        }
        if (dll == nullptr) {
            return;
        }
        // Never freed: the program's readers may use it until it ends.
        m_ObjectFromWindow =
            ProcAddress<decltype(&AccessibleObjectFromWindow)>(dll, "AccessibleObjectFromWindow");
        m_StandardObject =
            ProcAddress<decltype(&CreateStdAccessibleObject)>(dll, "CreateStdAccessibleObject");
        m_Lresult = ProcAddress<decltype(&LresultFromObject)>(dll, "LresultFromObject");
    }

    decltype(&AccessibleObjectFromWindow) m_ObjectFromWindow = nullptr;
    decltype(&CreateStdAccessibleObject) m_StandardObject = nullptr;
    decltype(&LresultFromObject) m_Lresult = nullptr;
};

bool IsClientObject(LPARAM lParam) {
    return static_cast<LONG>(static_cast<DWORD>(lParam)) == OBJID_CLIENT;
}

BSTR ToBstr(const std::string& utf8) {
    const std::wstring text = Widen(utf8);
    return SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
}

// A text, or S_FALSE and none for an empty one.
HRESULT AnswerText(const std::string& text, BSTR* out) {
    *out = nullptr;
    if (text.empty()) {
        return S_FALSE;
    }
    *out = ToBstr(text);
    return *out != nullptr ? S_OK : E_OUTOFMEMORY;
}

std::size_t EntryIndex(const core::Window& window, const core::VisibleControl& control) {
    const auto& entries = window.Entries();
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (entries[i].Visible == &control) {
            return i;
        }
    }
    return entries.size();
}

long StateOf(const core::VisibleControl& control) {
    long state = 0;
    if (!control.IsVisible()) {
        state |= STATE_SYSTEM_INVISIBLE;
    }
    if (!control.IsEnabled()) {
        state |= STATE_SYSTEM_UNAVAILABLE;
    }
    if (control.TakesFocus()) {
        state |= STATE_SYSTEM_FOCUSABLE;
    }
    if (control.HasFocus()) {
        state |= STATE_SYSTEM_FOCUSED;
    }
    if (control.Row().Default) {
        state |= STATE_SYSTEM_DEFAULT;
    }
    switch (control.Role()) {
        case AccessibleRole::StaticText:
            state |= STATE_SYSTEM_READONLY;
            break;
        case AccessibleRole::Link:
            state |= STATE_SYSTEM_LINKED;
            break;
        default:
            break;
    }
    return state;
}

bool CanPress(const core::VisibleControl& control) {
    return control.Role() == AccessibleRole::PushButton || control.Role() == AccessibleRole::Link;
}

// COM interfaces have no virtual destructor: an object deletes itself, as
// its own class, when its last reference goes.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"

// IUnknown, IDispatch (which no reader needs: no type information) and
// IOleWindow, for every object of ours.
class AccessibleBase : public IAccessible, public IOleWindow {
public:
    explicit AccessibleBase(HWND hwnd) : m_Hwnd(hwnd) {}
    virtual ~AccessibleBase() = default;
    AccessibleBase(const AccessibleBase&) = delete;
    AccessibleBase& operator=(const AccessibleBase&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (out == nullptr) {
            return E_POINTER;
        }
        if (iid == __uuidof(IUnknown) || iid == __uuidof(IDispatch) ||
            iid == __uuidof(IAccessible)) {
            *out = static_cast<IAccessible*>(this);
        } else if (iid == __uuidof(IOleWindow)) {
            *out = static_cast<IOleWindow*>(this);
        } else {
            *out = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override {
        return static_cast<ULONG>(InterlockedIncrement(&m_References));
    }
    ULONG STDMETHODCALLTYPE Release() override {
        const auto left = static_cast<ULONG>(InterlockedDecrement(&m_References));
        if (left == 0) {
            delete this;
        }
        return left;
    }

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) override {
        return E_NOTIMPL;
    }

    HRESULT STDMETHODCALLTYPE GetWindow(HWND* hwnd) override {
        *hwnd = m_Hwnd;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

protected:
    HWND m_Hwnd;

private:
    LONG m_References = 1;
};

// The client area of a window of ours: a container and its controls, or a
// user control's surface.
class ClientAccessible final : public AccessibleBase {
public:
    ClientAccessible(HWND hwnd, std::shared_ptr<AccessibleAnchor> anchor)
        : AccessibleBase(hwnd), m_Anchor(std::move(anchor)) {}

    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
        *parent = nullptr;
        if (m_Anchor->IsGone()) {
            return Gone;
        }
        return Oleacc::Get().ObjectFromWindow(m_Hwnd, OBJID_WINDOW, __uuidof(IDispatch),
                                              reinterpret_cast<void**>(parent));
    }

    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override {
        *count = 0;
        if (m_Anchor->IsGone()) {
            return Gone;
        }
        *count = static_cast<long>(Children().size());
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** out) override {
        *out = nullptr;
        core::VisibleControl* control = nullptr;
        if (const HRESULT found = Find(child, control); found != S_OK) {
            return found;
        }
        if (control == nullptr) {
            return E_INVALIDARG;
        }
        if (const HWND native = ToHwnd(control->NativeHandle())) {
            return Oleacc::Get().ObjectFromWindow(native, OBJID_CLIENT, __uuidof(IDispatch),
                                                  reinterpret_cast<void**>(out));
        }
        return S_FALSE;  // a simple element of this object
    }

    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
        *name = nullptr;
        core::VisibleControl* control = nullptr;
        if (const HRESULT found = Find(child, control); found != S_OK) {
            return found;
        }
        return AnswerText(
            control != nullptr ? control->AccessibleName() : m_Anchor->Window->AccessibleName(),
            name);
    }

    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
        *value = nullptr;
        core::VisibleControl* control = nullptr;
        const HRESULT found = Find(child, control);
        return found == S_OK ? S_FALSE : found;
    }

    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* description) override {
        *description = nullptr;
        core::VisibleControl* control = nullptr;
        if (const HRESULT found = Find(child, control); found != S_OK) {
            return found;
        }
        return AnswerText(control != nullptr ? control->AccessibleDescription() : std::string(),
                          description);
    }

    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
        VariantInit(role);
        core::VisibleControl* control = nullptr;
        if (const HRESULT found = Find(child, control); found != S_OK) {
            return found;
        }
        role->vt = VT_I4;
        role->lVal = ToMsaaRole(control != nullptr ? control->Role() : m_Anchor->Window->Role());
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
        VariantInit(state);
        core::VisibleControl* control = nullptr;
        if (const HRESULT found = Find(child, control); found != S_OK) {
            return found;
        }
        state->vt = VT_I4;
        if (control != nullptr) {
            state->lVal = StateOf(*control);
        } else {
            state->lVal = (IsWindowVisible(m_Hwnd) ? 0 : STATE_SYSTEM_INVISIBLE) |
                          (GetFocus() == m_Hwnd ? STATE_SYSTEM_FOCUSED : 0) |
                          STATE_SYSTEM_FOCUSABLE;
        }
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT, BSTR* help) override {
        *help = nullptr;
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT, long* topic) override {
        *file = nullptr;
        *topic = 0;
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT, BSTR* shortcut) override {
        *shortcut = nullptr;
        return S_FALSE;
    }

    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override {
        VariantInit(focus);
        if (m_Anchor->IsGone()) {
            return Gone;
        }
        const HWND focused = GetFocus();
        if (focused == m_Hwnd) {
            focus->vt = VT_I4;
            focus->lVal = CHILDID_SELF;
            return S_OK;
        }
        if (focused != nullptr && IsChild(m_Hwnd, focused)) {
            IDispatch* object = nullptr;
            if (SUCCEEDED(Oleacc::Get().ObjectFromWindow(focused, OBJID_CLIENT, __uuidof(IDispatch),
                                                         reinterpret_cast<void**>(&object)))) {
                focus->vt = VT_DISPATCH;
                focus->pdispVal = object;
                return S_OK;
            }
        }
        return S_FALSE;
    }

    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override {
        VariantInit(selection);
        return S_FALSE;
    }

    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
        *action = nullptr;
        core::VisibleControl* control = nullptr;
        if (const HRESULT found = Find(child, control); found != S_OK) {
            return found;
        }
        const core::VisibleControl* target = control != nullptr ? control : m_Anchor->Self;
        if (target == nullptr || !CanPress(*target)) {
            return S_FALSE;
        }
        return AnswerText(target->Role() == AccessibleRole::Link ? "Jump" : "Press", action);
    }

    HRESULT STDMETHODCALLTYPE accSelect(long, VARIANT) override { return DISP_E_MEMBERNOTFOUND; }

    HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height,
                                          VARIANT child) override {
        *left = *top = *width = *height = 0;
        core::VisibleControl* control = nullptr;
        if (const HRESULT found = Find(child, control); found != S_OK) {
            return found;
        }
        WholePixelRect rect{};
        if (control != nullptr) {
            rect = m_Anchor->Window->ScreenRect(*control);
        } else {
            RECT client{};
            GetClientRect(m_Hwnd, &client);
            POINT origin{0, 0};
            ClientToScreen(m_Hwnd, &origin);
            rect = {origin.x, origin.y, client.right, client.bottom};
        }
        *left = rect.Left;
        *top = rect.Top;
        *width = rect.Width;
        *height = rect.Height;
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE accNavigate(long, VARIANT, VARIANT* end) override {
        VariantInit(end);
        return DISP_E_MEMBERNOTFOUND;
    }

    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* hit) override {
        VariantInit(hit);
        if (m_Anchor->IsGone()) {
            return Gone;
        }
        POINT point{x, y};
        ScreenToClient(m_Hwnd, &point);
        RECT client{};
        GetClientRect(m_Hwnd, &client);
        if (!PtInRect(&client, point)) {
            return S_FALSE;
        }
        const ScreenPoint at{x, y};
        const auto contains = [&](const core::VisibleControl& control) {
            const WholePixelRect rect = m_Anchor->Window->ScreenRect(control);
            return control.IsVisible() && at.X >= rect.Left && at.X < rect.Left + rect.Width &&
                   at.Y >= rect.Top && at.Y < rect.Top + rect.Height;
        };
        // Windowed controls lie above the windowless ones their container draws.
        for (const bool windowed : {true, false}) {
            for (core::VisibleControl* control :
                 m_Anchor->Window->Stacking(m_Anchor->ContainerName)) {
                if (!m_Anchor->IsContainer || control->IsWindowed() != windowed ||
                    !contains(*control)) {
                    continue;
                }
                if (windowed) {
                    IDispatch* object = nullptr;
                    if (SUCCEEDED(Oleacc::Get().ObjectFromWindow(
                            ToHwnd(control->NativeHandle()), OBJID_CLIENT, __uuidof(IDispatch),
                            reinterpret_cast<void**>(&object)))) {
                        hit->vt = VT_DISPATCH;
                        hit->pdispVal = object;
                        return S_OK;
                    }
                }
                hit->vt = VT_I4;
                hit->lVal = AccessibleChildId(*control);
                return S_OK;
            }
        }
        hit->vt = VT_I4;
        hit->lVal = CHILDID_SELF;
        return S_OK;
    }

    // Posted: the press may open a menu, and the reader waits for this call.
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
        core::VisibleControl* control = nullptr;
        if (const HRESULT found = Find(child, control); found != S_OK) {
            return found;
        }
        core::VisibleControl* target = control != nullptr ? control : m_Anchor->Self;
        if (target == nullptr || !CanPress(*target)) {
            return DISP_E_MEMBERNOTFOUND;
        }
        const std::size_t index = EntryIndex(*m_Anchor->Window, *target);
        return PostMessageW(m_Hwnd, PressMessage, static_cast<WPARAM>(index), 0) ? S_OK : E_FAIL;
    }

    HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

private:
    std::vector<core::VisibleControl*> Children() const {
        if (!m_Anchor->IsContainer) {
            return {};
        }
        return AccessibleChildren(*m_Anchor->Window, m_Anchor->ContainerName);
    }

    // The control a child id names: S_OK with null for the object itself, or
    // with one of its children; an error for anything else.
    HRESULT Find(const VARIANT& child, core::VisibleControl*& control) const {
        control = nullptr;
        if (m_Anchor->IsGone()) {
            return Gone;
        }
        if (child.vt != VT_I4) {
            return E_INVALIDARG;
        }
        if (child.lVal == CHILDID_SELF) {
            control = m_Anchor->Self;
            return S_OK;
        }
        const std::vector<core::VisibleControl*> children = Children();
        if (child.lVal < 1 || child.lVal > static_cast<long>(children.size())) {
            return E_INVALIDARG;
        }
        control = children[static_cast<std::size_t>(child.lVal - 1)];
        return S_OK;
    }

    std::shared_ptr<AccessibleAnchor> m_Anchor;
};

// The desktop's own object for a text box, list box or option button, with
// the name and role that the core gives the control. All else is the
// desktop's: the value, the state, the list's rows.
class NamedAccessible final : public AccessibleBase {
public:
    NamedAccessible(HWND hwnd, IAccessible* standard, std::shared_ptr<AccessibleAnchor> anchor)
        : AccessibleBase(hwnd), m_Standard(standard), m_Anchor(std::move(anchor)) {
        m_Standard->AddRef();
    }
    ~NamedAccessible() override { m_Standard->Release(); }
    NamedAccessible(const NamedAccessible&) = delete;
    NamedAccessible& operator=(const NamedAccessible&) = delete;

    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
        if (!IsSelf(child) || (!m_Anchor->IsGone() && m_Anchor->Self == nullptr)) {
            return m_Standard->get_accName(child, name);
        }
        *name = nullptr;
        return m_Anchor->IsGone() ? Gone : AnswerText(m_Anchor->Self->AccessibleName(), name);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* description) override {
        if (!IsSelf(child) || m_Anchor->IsGone() || m_Anchor->Self == nullptr ||
            m_Anchor->Self->AccessibleDescription().empty()) {
            return m_Standard->get_accDescription(child, description);
        }
        return AnswerText(m_Anchor->Self->AccessibleDescription(), description);
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
        if (!IsSelf(child)) {
            return m_Standard->get_accRole(child, role);
        }
        VariantInit(role);
        if (m_Anchor->IsGone()) {
            return Gone;
        }
        role->vt = VT_I4;
        role->lVal =
            m_Anchor->Self != nullptr ? ToMsaaRole(m_Anchor->Self->Role()) : m_Anchor->FixedRole;
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
        return m_Standard->get_accParent(parent);
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override {
        return m_Standard->get_accChildCount(count);
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** out) override {
        return m_Standard->get_accChild(child, out);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
        return m_Standard->get_accValue(child, value);
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
        return m_Standard->get_accState(child, state);
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override {
        return m_Standard->get_accHelp(child, help);
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override {
        return m_Standard->get_accHelpTopic(file, child, topic);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override {
        return m_Standard->get_accKeyboardShortcut(child, shortcut);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override {
        return m_Standard->get_accFocus(focus);
    }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override {
        return m_Standard->get_accSelection(selection);
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
        return m_Standard->get_accDefaultAction(child, action);
    }
    HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override {
        return m_Standard->accSelect(flags, child);
    }
    HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height,
                                          VARIANT child) override {
        return m_Standard->accLocation(left, top, width, height, child);
    }
    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override {
        return m_Standard->accNavigate(direction, start, end);
    }
    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* hit) override {
        return m_Standard->accHitTest(x, y, hit);
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
        return m_Standard->accDoDefaultAction(child);
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override {
        return m_Standard->put_accName(child, name);
    }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override {
        return m_Standard->put_accValue(child, value);
    }

private:
    static bool IsSelf(const VARIANT& child) {
        return child.vt == VT_I4 && child.lVal == CHILDID_SELF;
    }

    IAccessible* m_Standard;
    std::shared_ptr<AccessibleAnchor> m_Anchor;
};

#pragma GCC diagnostic pop

// A standard control's window procedure before ours, and what it answers for.
struct StandardHook {
    WNDPROC Original = nullptr;
    std::shared_ptr<AccessibleAnchor> Anchor;
};

constexpr const wchar_t* HookProperty = L"Ponderix.Accessible";

LRESULT AnswerWithStandardObject(HWND hwnd, WPARAM wParam, const StandardHook& hook) {
    IAccessible* standard = nullptr;
    if (FAILED(Oleacc::Get().StandardObject(hwnd, OBJID_CLIENT, __uuidof(IAccessible),
                                            reinterpret_cast<void**>(&standard)))) {
        return 0;
    }
    auto* named = new (std::nothrow) NamedAccessible(hwnd, standard, hook.Anchor);
    standard->Release();
    if (named == nullptr) {
        return 0;
    }
    const LRESULT result =
        Oleacc::Get().Lresult(__uuidof(IAccessible), wParam, static_cast<IAccessible*>(named));
    named->Release();
    return result;
}

LRESULT CALLBACK StandardControlProc(HWND hwnd, UINT message, WPARAM wParam,
                                     LPARAM lParam) noexcept {
    auto* hook = static_cast<StandardHook*>(GetPropW(hwnd, HookProperty));
    if (hook == nullptr) {
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    const WNDPROC original = hook->Original;
    if (message == WM_GETOBJECT && IsClientObject(lParam) && !hook->Anchor->IsGone()) {
        LRESULT result = 0;
        try {
            result = AnswerWithStandardObject(hwnd, wParam, *hook);
        } catch (...) {  // NOLINT(bugprone-empty-catch): the desktop's object answers instead
        }
        if (result != 0) {
            return result;
        }
    } else if (message == WM_NCDESTROY) {
        RemovePropW(hwnd, HookProperty);
        SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
        delete hook;
    }
    return CallWindowProcW(original, hwnd, message, wParam, lParam);
}

}  // namespace

std::vector<core::VisibleControl*> AccessibleChildren(const core::Window& window,
                                                      std::string_view container) {
    std::vector<core::VisibleControl*> children;
    for (const core::Window::Entry& entry : window.Entries()) {
        // A decoration is kept from readers.
        if (entry.Visible != nullptr && entry.Row->Container == container &&
            entry.Visible->Role() != AccessibleRole::Decoration) {
            children.push_back(entry.Visible);
        }
    }
    const auto order = [](const core::VisibleControl* control) {
        return control->Row().TabIndex >= 0 ? control->Row().TabIndex : INT_MAX;
    };
    std::stable_sort(children.begin(), children.end(),
                     [&](const core::VisibleControl* a, const core::VisibleControl* b) {
                         return order(a) < order(b);
                     });
    return children;
}

long AccessibleChildId(const core::VisibleControl& control) {
    const std::vector<core::VisibleControl*> children =
        AccessibleChildren(control.Window(), control.Row().Container);
    const auto found = std::find(children.begin(), children.end(), &control);
    return found != children.end() ? static_cast<long>(found - children.begin()) + 1 : 0;
}

LRESULT AnswerGetObject(HWND hwnd, WPARAM wParam, LPARAM lParam,
                        const std::shared_ptr<AccessibleAnchor>& anchor) {
    if (!IsClientObject(lParam) || anchor->IsGone()) {
        return 0;
    }
    auto* object = new (std::nothrow) ClientAccessible(hwnd, anchor);
    if (object == nullptr) {
        return 0;
    }
    const LRESULT result =
        Oleacc::Get().Lresult(__uuidof(IAccessible), wParam, static_cast<IAccessible*>(object));
    object->Release();
    return result;
}

void AnswerForStandardControl(HWND hwnd, const std::shared_ptr<AccessibleAnchor>& anchor) {
    auto* hook = new StandardHook{nullptr, anchor};
    if (!SetPropW(hwnd, HookProperty, hook)) {
        delete hook;
        return;  // the desktop's own object answers, unnamed
    }
    hook->Original = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&StandardControlProc)));
}

// NVDA and Narrator read an alert's text when it is raised; a reader that
// keeps the object hears of its new name too.
void TellAnnouncement(HWND hwnd) {
    NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, hwnd, OBJID_CLIENT, CHILDID_SELF);
    NotifyWinEvent(EVENT_SYSTEM_ALERT, hwnd, OBJID_CLIENT, CHILDID_SELF);
}

void TellAccessibleChange(const core::VisibleControl& control, HWND container, bool name) {
    const DWORD event = name ? EVENT_OBJECT_NAMECHANGE : EVENT_OBJECT_DESCRIPTIONCHANGE;
    if (const HWND native = ToHwnd(control.NativeHandle())) {
        NotifyWinEvent(event, native, OBJID_CLIENT, CHILDID_SELF);
    } else if (container != nullptr) {
        NotifyWinEvent(event, container, OBJID_CLIENT, AccessibleChildId(control));
    }
}

long ToMsaaRole(AccessibleRole role) {
    switch (role) {
        case AccessibleRole::StaticText:
            return ROLE_SYSTEM_STATICTEXT;
        case AccessibleRole::EditableText:
            return ROLE_SYSTEM_TEXT;
        case AccessibleRole::List:
            return ROLE_SYSTEM_LIST;
        case AccessibleRole::RadioButton:
            return ROLE_SYSTEM_RADIOBUTTON;
        case AccessibleRole::Grouping:
            return ROLE_SYSTEM_GROUPING;
        case AccessibleRole::Graphic:
            return ROLE_SYSTEM_GRAPHIC;
        case AccessibleRole::PushButton:
            return ROLE_SYSTEM_PUSHBUTTON;
        case AccessibleRole::Link:
            return ROLE_SYSTEM_LINK;
        case AccessibleRole::Window:
            return ROLE_SYSTEM_CLIENT;
        case AccessibleRole::Dialog:
            return ROLE_SYSTEM_DIALOG;
        case AccessibleRole::Notification:
            return ROLE_SYSTEM_ALERT;
        case AccessibleRole::Decoration:
            return ROLE_SYSTEM_WHITESPACE;
        case AccessibleRole::Default:
        case AccessibleRole::Pane:
            return ROLE_SYSTEM_PANE;
    }
    return ROLE_SYSTEM_PANE;
}

AccessibleRole FromMsaaRole(long role) {
    switch (role) {
        case ROLE_SYSTEM_STATICTEXT:
            return AccessibleRole::StaticText;
        case ROLE_SYSTEM_TEXT:
            return AccessibleRole::EditableText;
        case ROLE_SYSTEM_LIST:
            return AccessibleRole::List;
        case ROLE_SYSTEM_RADIOBUTTON:
            return AccessibleRole::RadioButton;
        case ROLE_SYSTEM_GROUPING:
            return AccessibleRole::Grouping;
        case ROLE_SYSTEM_GRAPHIC:
            return AccessibleRole::Graphic;
        case ROLE_SYSTEM_PUSHBUTTON:
            return AccessibleRole::PushButton;
        case ROLE_SYSTEM_LINK:
            return AccessibleRole::Link;
        case ROLE_SYSTEM_PANE:
            return AccessibleRole::Pane;
        case ROLE_SYSTEM_CLIENT:
            return AccessibleRole::Window;
        case ROLE_SYSTEM_DIALOG:
            return AccessibleRole::Dialog;
        case ROLE_SYSTEM_ALERT:
            return AccessibleRole::Notification;
        default:
            return AccessibleRole::Default;
    }
}

}  // namespace ponderix::platform::win32::detail
