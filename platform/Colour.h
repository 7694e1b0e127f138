// Colours of the layouts: an RGB triple, or one of the platform's own colours
// named by its role, which each backend resolves to its theme's value.
#pragma once

#include <cstdint>

namespace ponderix::platform {

enum class SystemColour : std::uint8_t {
    WindowText,   // text in windows (text box, list box, result label)
    ControlText,  // the default text colour of controls
    ButtonFace,   // the background of dialog windows
};

class Colour {
public:
    static constexpr Colour Rgb(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
        return Colour(red, green, blue);
    }
    static constexpr Colour System(SystemColour role) { return Colour(role); }

    constexpr bool IsSystem() const { return m_IsSystem; }
    constexpr SystemColour Role() const { return m_Role; }
    constexpr std::uint8_t Red() const { return m_Red; }
    constexpr std::uint8_t Green() const { return m_Green; }
    constexpr std::uint8_t Blue() const { return m_Blue; }

    friend constexpr bool operator==(const Colour&, const Colour&) = default;

private:
    constexpr Colour(std::uint8_t red, std::uint8_t green, std::uint8_t blue)
        : m_Red(red), m_Green(green), m_Blue(blue) {}
    explicit constexpr Colour(SystemColour role) : m_IsSystem(true), m_Role(role) {}

    bool m_IsSystem = false;
    SystemColour m_Role = SystemColour::WindowText;
    std::uint8_t m_Red = 0;
    std::uint8_t m_Green = 0;
    std::uint8_t m_Blue = 0;
};

}  // namespace ponderix::platform
