// A screen reader's view of a running program: walks the Active Accessibility
// tree of a window from another process, as the standard Windows readers do
// (AccessibleObjectFromWindow, AccessibleChildren), prints it one object a
// line, and checks it.
//
//   ponderix_msaa_walk TITLE [--expect ROLE|NAME[|DESCRIPTION]]...
//                      [--focused ROLE|NAME] [--press NAME]
//   ponderix_msaa_walk TITLE --listen SECONDS
//
// TITLE is the caption of the top-level window to walk. Each --expect names
// an object that must be in the tree: its role as the desktop words it
// ("push button", "static text", "link"), its name, and its description when
// given; a field that ends in "*" matches every text that begins with the
// rest. --focused names the object that must have the keyboard focus.
// --press does the default action of the object of that name after the
// checks, as a reader's "press" does. The exit status is 0 when every
// expected object was found, 1 otherwise, 2 when the window or its tree could
// not be reached.
//
// --listen hears the window's program instead, as a reader does, for that
// many seconds: it prints "listening" once its hooks are set, then each alert
// and name change raised, as EVENT | ROLE | NAME of the object it is about.
#include <oleacc.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct Node {
    int Depth = 0;
    std::wstring Role;
    std::wstring Name;
    std::wstring Description;
    bool Focused = false;
    IAccessible* Object = nullptr;  // held until the end, for --press
    LONG Child = CHILDID_SELF;
};

std::wstring Take(BSTR text) {
    std::wstring taken = text != nullptr ? std::wstring(text, SysStringLen(text)) : L"";
    SysFreeString(text);
    return taken;
}

// Line breaks and bars shown as spaces, so that a node stays on its line.
std::wstring OneLine(std::wstring text) {
    for (wchar_t& c : text) {
        if (c == L'\r' || c == L'\n' || c == L'|') {
            c = L' ';
        }
    }
    return text;
}

std::wstring RoleText(IAccessible* object, VARIANT child) {
    VARIANT role;
    VariantInit(&role);
    if (FAILED(object->get_accRole(child, &role)) || role.vt != VT_I4) {
        VariantClear(&role);
        return L"?";
    }
    wchar_t text[128] = {};
    GetRoleTextW(static_cast<DWORD>(role.lVal), text, 128);
    return text;
}

void Walk(IAccessible* object, LONG child, int depth, std::vector<Node>& nodes) {
    VARIANT id;
    VariantInit(&id);
    id.vt = VT_I4;
    id.lVal = child;
    Node node{depth, RoleText(object, id), {}, {}, false, object, child};
    BSTR text = nullptr;
    object->get_accName(id, &text);
    node.Name = Take(text);
    text = nullptr;
    object->get_accDescription(id, &text);
    node.Description = Take(text);
    VARIANT state;
    VariantInit(&state);
    if (SUCCEEDED(object->get_accState(id, &state)) && state.vt == VT_I4) {
        node.Focused = (state.lVal & STATE_SYSTEM_FOCUSED) != 0;
    }
    object->AddRef();
    nodes.push_back(node);
    if (child != CHILDID_SELF || depth > 8) {
        return;  // a simple element has no children of its own
    }
    long count = 0;
    if (FAILED(object->get_accChildCount(&count)) || count <= 0) {
        return;
    }
    std::vector<VARIANT> children(static_cast<std::size_t>(count));
    long got = 0;
    if (FAILED(AccessibleChildren(object, 0, count, children.data(), &got))) {
        return;
    }
    for (long i = 0; i < got; ++i) {
        VARIANT& found = children[static_cast<std::size_t>(i)];
        if (found.vt == VT_DISPATCH && found.pdispVal != nullptr) {
            IAccessible* inner = nullptr;
            if (SUCCEEDED(found.pdispVal->QueryInterface(__uuidof(IAccessible),
                                                         reinterpret_cast<void**>(&inner)))) {
                Walk(inner, CHILDID_SELF, depth + 1, nodes);
                inner->Release();
            }
        } else if (found.vt == VT_I4) {
            Walk(object, found.lVal, depth + 1, nodes);
        }
        VariantClear(&found);
    }
}

// The fields of ROLE|NAME[|DESCRIPTION].
std::vector<std::wstring> Fields(const std::wstring& text) {
    std::vector<std::wstring> fields{L""};
    for (const wchar_t c : text) {
        if (c == L'|' && fields.size() < 3) {
            fields.emplace_back();
        } else {
            fields.back() += c;
        }
    }
    return fields;
}

bool Matches(const std::wstring& pattern, const std::wstring& text) {
    if (!pattern.empty() && pattern.back() == L'*') {
        return text.compare(0, pattern.size() - 1, pattern, 0, pattern.size() - 1) == 0;
    }
    return pattern == text;
}

bool Matches(const std::wstring& expectation, const Node& node) {
    const std::vector<std::wstring> fields = Fields(expectation);
    return fields.size() >= 2 && Matches(fields[0], node.Role) && Matches(fields[1], node.Name) &&
           (fields.size() < 3 || Matches(fields[2], node.Description));
}

std::wstring Widen(const char* text) {
    const int size = MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(size > 0 ? size - 1 : 0), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text, -1, wide.data(), size);
    return wide;
}

void Print(const std::wstring& text) {
    const int size =
        WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(size > 0 ? size - 1 : 0), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, utf8.data(), size, nullptr, nullptr);
    std::fputs(utf8.c_str(), stdout);
}

void CALLBACK Hear(HWINEVENTHOOK, DWORD event, HWND hwnd, LONG object, LONG child, DWORD,
                   DWORD) {
    IAccessible* accessible = nullptr;
    VARIANT id;
    VariantInit(&id);
    if (FAILED(AccessibleObjectFromEvent(hwnd, object, child, &accessible, &id)) ||
        accessible == nullptr) {
        Print(L"unreadable event\n");
        return;
    }
    BSTR name = nullptr;
    accessible->get_accName(id, &name);
    Print((event == EVENT_SYSTEM_ALERT ? L"alert | " : L"name change | ") +
          RoleText(accessible, id) + L" | " + OneLine(Take(name)) + L"\n");
    std::fflush(stdout);
    accessible->Release();
    VariantClear(&id);
}

void Listen(HWND window, DWORD seconds) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    const HWINEVENTHOOK alerts = SetWinEventHook(EVENT_SYSTEM_ALERT, EVENT_SYSTEM_ALERT, nullptr,
                                                 &Hear, process, 0, WINEVENT_OUTOFCONTEXT);
    const HWINEVENTHOOK names =
        SetWinEventHook(EVENT_OBJECT_NAMECHANGE, EVENT_OBJECT_NAMECHANGE, nullptr, &Hear, process,
                        0, WINEVENT_OUTOFCONTEXT);
    Print(L"listening\n");
    std::fflush(stdout);
    const ULONGLONG end = GetTickCount64() + seconds * 1000ULL;
    for (ULONGLONG now = GetTickCount64(); now < end; now = GetTickCount64()) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(end - now), QS_ALLINPUT);
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            DispatchMessageW(&message);
        }
    }
    UnhookWinEvent(alerts);
    UnhookWinEvent(names);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fputs(
            "usage: ponderix_msaa_walk TITLE [--expect ROLE|NAME[|DESCRIPTION]]... "
            "[--focused ROLE|NAME] [--press NAME]\n"
            "       ponderix_msaa_walk TITLE --listen SECONDS\n",
            stderr);
        return 2;
    }
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const std::wstring title = Widen(argv[1]);
    HWND window = nullptr;
    for (int tries = 0; tries < 100 && window == nullptr; ++tries) {
        window = FindWindowW(nullptr, title.c_str());
        if (window == nullptr) {
            Sleep(100);
        }
    }
    IAccessible* root = nullptr;
    if (window == nullptr ||
        FAILED(AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT),
                                          __uuidof(IAccessible),
                                          reinterpret_cast<void**>(&root))) ||
        root == nullptr) {
        std::fprintf(stderr, "ponderix_msaa_walk: no accessible window titled '%s'\n", argv[1]);
        return 2;
    }
    if (argc == 4 && std::string(argv[2]) == "--listen") {
        root->Release();
        Listen(window, static_cast<DWORD>(std::strtoul(argv[3], nullptr, 10)));
        CoUninitialize();
        return 0;
    }
    std::vector<Node> nodes;
    Walk(root, CHILDID_SELF, 0, nodes);
    root->Release();
    for (const Node& node : nodes) {
        Print(std::wstring(static_cast<std::size_t>(node.Depth) * 2, L' ') + OneLine(node.Role) +
              L" | " + OneLine(node.Name) +
              (node.Description.empty() ? L"" : L" | " + OneLine(node.Description)) +
              (node.Focused ? L"  [focused]" : L"") + L"\n");
    }

    int missing = 0;
    std::wstring press;
    for (int i = 2; i + 1 < argc; i += 2) {
        const std::string option = argv[i];
        const std::wstring value = Widen(argv[i + 1]);
        if (option == "--press") {
            press = value;
            continue;
        }
        if (option == "--focused") {
            bool found = false;
            for (const Node& node : nodes) {
                found = found || (node.Focused && Matches(value, node));
            }
            if (!found) {
                Print(L"ponderix_msaa_walk: the focus is not on " + value + L"\n");
                ++missing;
            }
            continue;
        }
        bool found = false;
        for (const Node& node : nodes) {
            found = found || Matches(value, node);
        }
        if (!found) {
            Print(L"ponderix_msaa_walk: missing " + value + L"\n");
            ++missing;
        }
    }
    if (!press.empty()) {
        bool pressed = false;
        for (const Node& node : nodes) {
            if (!pressed && node.Name == press) {
                VARIANT id;
                VariantInit(&id);
                id.vt = VT_I4;
                id.lVal = node.Child;
                pressed = SUCCEEDED(node.Object->accDoDefaultAction(id));
            }
        }
        if (!pressed) {
            Print(L"ponderix_msaa_walk: could not press " + press + L"\n");
            ++missing;
        }
    }
    for (const Node& node : nodes) {
        node.Object->Release();
    }
    CoUninitialize();
    return missing == 0 ? 0 : 1;
}
