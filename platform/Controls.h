// The controls a window is built of, as the window's code sees them. Every
// backend implements these; an operation that fails throws PlatformError.
// Positions and sizes are in the window's unit, pixels, relative to the control's
// container, and may be fractional.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/Colour.h"
#include "platform/Event.h"
#include "platform/Units.h"

namespace ponderix::platform {

// A native window's handle (an HWND, a QWidget address, a fake's number); 0 is none.
using WindowHandle = std::uintptr_t;

// Keys as the platform numbers them (its virtual-key codes); the numeric
// keypad's Enter is Return.
namespace KeyCode {
inline constexpr std::int16_t Tab = 9;
inline constexpr std::int16_t Return = 13;
inline constexpr std::int16_t Escape = 27;
inline constexpr std::int16_t Space = 32;
inline constexpr std::int16_t Left = 37;
inline constexpr std::int16_t Up = 38;
inline constexpr std::int16_t Right = 39;
inline constexpr std::int16_t Down = 40;
inline constexpr std::int16_t F1 = 112;
inline constexpr std::int16_t F12 = 123;
}  // namespace KeyCode

// The modifier keys held, added up, as the mouse notifications also give them.
namespace ShiftState {
inline constexpr std::int16_t Shift = 1;
inline constexpr std::int16_t Ctrl = 2;
inline constexpr std::int16_t Alt = 4;
}  // namespace ShiftState

class IControl {
public:
    virtual ~IControl() = default;
};

class IVisibleControl : public IControl {
public:
    virtual PixelRect Bounds() const = 0;
    // One move: left and top, and width and height where given.
    virtual void Move(float left, float top, std::optional<float> width = std::nullopt,
                      std::optional<float> height = std::nullopt) = 0;
    virtual bool Visible() const = 0;
    virtual void SetVisible(bool visible) = 0;
    virtual bool Enabled() const = 0;
    virtual void SetEnabled(bool enabled) = 0;
    // To the top of the stacking order among the controls of its own kind
    // (windowless controls stay below the windowed ones of their container).
    virtual void BringToFront() = 0;
};

class ILabel : public IVisibleControl {
public:
    virtual std::string Caption() const = 0;
    // A carriage return alone and a carriage return with a line feed both break a line.
    virtual void SetCaption(std::string_view caption) = 0;
    virtual float FontSize() const = 0;  // points
    virtual void SetFontSize(float points) = 0;
    virtual Colour ForeColour() const = 0;
    virtual void SetForeColour(Colour colour) = 0;
    // What the caption means, in words, for a screen reader (a result's band,
    // which the text's colour shows); "" at first. Setting the caption or the
    // description tells a screen reader that it changed, so that it reads it.
    virtual std::string Description() const = 0;
    virtual void SetDescription(std::string_view description) = 0;
    // What a screen reader calls the label in place of its caption (a result
    // said with its meaning, in a sentence); "" gives it its caption back.
    // Setting it tells a screen reader, as a caption does.
    virtual void SetSpokenName(std::string_view name) = 0;

    Event<> Click;
};

class ITextBox : public IVisibleControl {
public:
    virtual std::string Text() const = 0;  // UTF-8
    virtual void SetText(std::string_view text) = 0;
};

class IListBox : public IVisibleControl {
public:
    virtual void AddItem(std::string_view text) = 0;  // at the end
    virtual int ListCount() const = 0;
    virtual std::string List(int row) const = 0;
    virtual int ListIndex() const = 0;  // -1: nothing selected
    // -1 clears the selection; any other value outside the rows throws PlatformError.
    virtual void SetListIndex(int row) = 0;
};

class IOptionButton : public IVisibleControl {
public:
    virtual bool Value() const = 0;
    // Selecting one button of a container clears the others of that container.
    virtual void SetValue(bool selected) = 0;

    Event<> Click;
};

class IFrame : public IVisibleControl {};

class IImage : public IVisibleControl {
public:
    Event<> Click;
};

// The shortest interval a timer ticks at, as Windows keeps it: a shorter one
// ticks at this one.
inline constexpr int MinimumTimerInterval = 10;  // milliseconds

class ITimer : public IControl {
public:
    virtual bool Enabled() const = 0;
    // Enabling a timer (again) starts its interval anew.
    virtual void SetEnabled(bool enabled) = 0;
    virtual int Interval() const = 0;  // milliseconds
    virtual void SetInterval(int milliseconds) = 0;

    Event<> Tick;
};

}  // namespace ponderix::platform
