// The keyed store of a control's saved properties inside a window layout.
// Keys match without regard to (ASCII) case: a layout may spell a key
// "picturehover" and the control ask for "PictureHover". Entries keep the order
// in which they were first written, as a saved layout lists them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

#include "platform/Picture.h"

namespace ponderix::platform {

// std::monostate is "no value".
using PropertyValue = std::variant<std::monostate, std::int32_t, std::string, Picture>;

class PropertyBag {
public:
    // The stored value, or defaultValue when the key is absent.
    PropertyValue ReadProperty(std::string_view key, PropertyValue defaultValue = {}) const;

    // A picture stored under the key; empty when absent. Throws PlatformError when
    // the key holds something that is not a picture.
    Picture ReadPicture(std::string_view key) const;

    // Stores the value; a value equal to its default is not kept (saving a layout
    // leaves defaults out), and an earlier entry under the key is removed then.
    void WriteProperty(std::string_view key, PropertyValue value, PropertyValue defaultValue = {});

    bool Contains(std::string_view key) const;
    std::size_t Size() const { return m_Entries.size(); }
    const std::vector<std::pair<std::string, PropertyValue>>& Entries() const { return m_Entries; }

private:
    std::vector<std::pair<std::string, PropertyValue>>::const_iterator Find(
        std::string_view key) const;

    std::vector<std::pair<std::string, PropertyValue>> m_Entries;
};

}  // namespace ponderix::platform
