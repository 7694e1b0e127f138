// The product's fixed names and address, shown by every window.
#pragma once

#include <string_view>

#include "platform/Layout.h"

namespace ponderix::ui {

inline constexpr std::string_view ProductName = "Ponderix";
inline constexpr std::string_view PublisherName = "Tarnwick";
// A reserved name: it can never lead to someone else's site.
inline constexpr std::string_view PublisherAddress = "https://tarnwick.example/";

// Where the last weight and height are kept between runs: the settings of the
// application ProductName, in this section, under these keys (on Linux in
// <configuration folder>/Ponderix/Ponderix.ini, SettingsFilePath's).
inline constexpr std::string_view SettingsSection = "Settings";
inline constexpr std::string_view WeightKey = "Weight";
inline constexpr std::string_view HeightKey = "Height";

// The platform's standard dialog font, which every window gives the controls
// that have no font of their own.
inline constexpr platform::FontSpec DialogFont{"MS Sans Serif", 8.25f, 400};

}  // namespace ponderix::ui
