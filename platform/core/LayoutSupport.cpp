#include "platform/core/LayoutSupport.h"

#include <algorithm>
#include <set>

#include "platform/WindowSystem.h"

namespace ponderix::platform {

bool IsWindowed(ControlKind kind) {
    switch (kind) {
        case ControlKind::TextBox:
        case ControlKind::ListBox:
        case ControlKind::OptionButton:
        case ControlKind::Frame:
        case ControlKind::UserControl:
            return true;
        case ControlKind::Label:
        case ControlKind::Image:
        case ControlKind::Timer:
        case ControlKind::PictureBox:
            return false;
    }
    return false;
}

PropertyBag SavedProperties(const ControlSpec& control, IWindowSystem& system) {
    PropertyBag bag;
    for (const PropertyEntry& entry : control.Properties) {
        if (const auto* asset = std::get_if<AssetName>(&entry.Value)) {
            bag.WriteProperty(entry.Key, system.LoadPicture(*asset));
        } else {
            bag.WriteProperty(entry.Key, std::get<std::int32_t>(entry.Value));
        }
    }
    return bag;
}

AccessibleRole AccessibleRoleOf(ControlKind kind) {
    switch (kind) {
        case ControlKind::Label:
            return AccessibleRole::StaticText;
        case ControlKind::TextBox:
            return AccessibleRole::EditableText;
        case ControlKind::ListBox:
            return AccessibleRole::List;
        case ControlKind::OptionButton:
            return AccessibleRole::RadioButton;
        case ControlKind::Frame:
            return AccessibleRole::Grouping;
        case ControlKind::Image:
            return AccessibleRole::Graphic;
        case ControlKind::UserControl:
        case ControlKind::Timer:
        case ControlKind::PictureBox:
            return AccessibleRole::Pane;
    }
    return AccessibleRole::Pane;
}

std::string CaptionText(std::string_view caption) {
    std::string shown;
    shown.reserve(caption.size());
    for (std::size_t i = 0; i < caption.size(); ++i) {
        const char c = caption[i];
        if (c == '\r') {
            shown += '\n';
            if (i + 1 < caption.size() && caption[i + 1] == '\n') {
                ++i;
            }
        } else if (c == '&') {
            if (i + 1 < caption.size() && caption[i + 1] == '&') {
                shown += '&';
                ++i;
            }
        } else {
            shown += c;
        }
    }
    return shown;
}

std::string ShownText(std::string_view caption) {
    const std::string shown = CaptionText(caption);
    constexpr std::string_view Blanks = " \t\n";
    const auto first = shown.find_first_not_of(Blanks);
    if (first == std::string::npos) {
        return {};
    }
    return shown.substr(first, shown.find_last_not_of(Blanks) - first + 1);
}

std::vector<const ControlSpec*> TabOrder(const WindowSpec& layout) {
    std::vector<const ControlSpec*> order;
    for (const ControlSpec& control : layout.Controls) {
        if (control.TabIndex >= 0) {
            order.push_back(&control);
        }
    }
    std::stable_sort(order.begin(), order.end(), [](const ControlSpec* a, const ControlSpec* b) {
        return a->TabIndex < b->TabIndex;
    });
    return order;
}

void CheckLayout(const WindowSpec& layout) {
    std::set<std::string> keys;
    std::set<std::string_view> frames;
    int defaults = 0;
    for (const ControlSpec& control : layout.Controls) {
        defaults += control.Default ? 1 : 0;
        const std::string key = ControlKey(control.Name, control.Index);
        if (!keys.insert(key).second) {
            throw PlatformError("layout '" + std::string(layout.Name) + "' lists '" + key +
                                "' twice");
        }
        if (!control.Container.empty() && !frames.contains(control.Container)) {
            throw PlatformError("'" + key + "' is placed in '" + std::string(control.Container) +
                                "', which is not a frame listed before it");
        }
        if (control.Kind == ControlKind::Frame) {
            frames.insert(control.Name);
        }
        if (control.Kind == ControlKind::UserControl && control.ClassId.empty()) {
            throw PlatformError("user control '" + key + "' names no class id");
        }
    }
    if (defaults > 1) {
        throw PlatformError("layout '" + std::string(layout.Name) + "' has " +
                            std::to_string(defaults) + " default buttons");
    }
    for (const ControlSpec& control : layout.Controls) {
        if (!control.LabelledBy.empty() && !keys.contains(std::string(control.LabelledBy))) {
            throw PlatformError("'" + ControlKey(control.Name, control.Index) +
                                "' is labelled by '" + std::string(control.LabelledBy) +
                                "', which is not in the layout");
        }
    }
}

}  // namespace ponderix::platform
