#include "platform/LayoutSupport.h"

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

std::string ControlKey(std::string_view name, int index) {
    std::string key(name);
    if (index != NoIndex) {
        key += '(' + std::to_string(index) + ')';
    }
    return key;
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
    for (const ControlSpec& control : layout.Controls) {
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
}

}  // namespace ponderix::platform
