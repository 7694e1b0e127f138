#include "platform/PropertyBag.h"

#include <algorithm>

#include "platform/Error.h"

namespace ponderix::platform {
namespace {

char FoldCase(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameKey(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char x, char y) { return FoldCase(x) == FoldCase(y); });
}

}  // namespace

std::vector<std::pair<std::string, PropertyValue>>::const_iterator PropertyBag::Find(
    std::string_view key) const {
    return std::find_if(m_Entries.begin(), m_Entries.end(),
                        [key](const auto& entry) { return SameKey(entry.first, key); });
}

PropertyValue PropertyBag::ReadProperty(std::string_view key, PropertyValue defaultValue) const {
    const auto found = Find(key);
    return found == m_Entries.end() ? defaultValue : found->second;
}

Picture PropertyBag::ReadPicture(std::string_view key) const {
    const PropertyValue value = ReadProperty(key);
    if (std::holds_alternative<std::monostate>(value)) {
        return {};
    }
    if (const auto* picture = std::get_if<Picture>(&value)) {
        return *picture;
    }
    throw PlatformError("property '" + std::string(key) + "' does not hold a picture");
}

void PropertyBag::WriteProperty(std::string_view key, PropertyValue value,
                                PropertyValue defaultValue) {
    const auto found = Find(key);
    if (value == defaultValue) {
        if (found != m_Entries.end()) {
            m_Entries.erase(found);
        }
        return;
    }
    if (found != m_Entries.end()) {
        m_Entries[static_cast<std::size_t>(found - m_Entries.begin())].second = std::move(value);
    } else {
        m_Entries.emplace_back(std::string(key), std::move(value));
    }
}

bool PropertyBag::Contains(std::string_view key) const {
    return Find(key) != m_Entries.end();
}

}  // namespace ponderix::platform
