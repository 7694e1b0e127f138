// The standard controls of a window, as every backend shares them: each keeps
// its properties, checks every operation (the window still loaded, the values
// sensible) and keeps its group, its stacking and its focus rules. A backend
// derives one class per kind and supplies only what is native: how the control
// is placed, shown, drawn and told about its values. The native side reports
// the user's doing through the protected calls (UserClicked, UserSelected).
//
// Every operation on a control of an unloaded window throws PlatformError, reads
// included.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Controls.h"
#include "platform/Layout.h"
#include "platform/Picture.h"
#include "platform/Units.h"

namespace ponderix::platform::core {

class Window;
class VisibleControl;

// What a backend is given to make the native side of a control.
struct ControlArgs {
    platform::core::Window& Window;
    const ControlSpec& Row;
    std::string Key;                 // "lblName(0)": names the control in errors
    FontSpec Font;                   // the row's font, or else the window's
    VisibleControl* Container;       // the frame that holds it; null: the window
    platform::Picture Picture = {};  // an image's picture
};

// What every control of a window has: its row, its key and its window.
class ControlBase {
public:
    explicit ControlBase(const ControlArgs& args);
    virtual ~ControlBase() = default;
    ControlBase(const ControlBase&) = delete;
    ControlBase& operator=(const ControlBase&) = delete;

    const ControlSpec& Row() const { return m_Row; }
    const std::string& Key() const { return m_Key; }
    platform::core::Window& Window() const { return m_Window; }

protected:
    // Throws PlatformError once the window is unloaded.
    void CheckLoaded() const;
    // CheckLoaded, then the system's say on the operation ("Label.SetCaption").
    void Check(std::string_view operation) const;

    platform::core::Window& m_Window;
    const ControlSpec& m_Row;
    std::string m_Key;
};

// The position, visibility, enabled state, stacking and focus of a control that
// shows. Positions are in the window's pixels, fractional as the program set
// them; the native side is placed on the pixel grid (ToWholePixels).
class VisibleControl : public ControlBase {
public:
    explicit VisibleControl(const ControlArgs& args);

    PixelRect Bounds() const {
        CheckLoaded();
        return m_Bounds;
    }
    bool IsVisible() const { return m_Visible; }
    bool IsEnabled() const { return m_Enabled; }
    VisibleControl* Container() const { return m_Container; }
    bool IsWindowed() const;
    // Visible and enabled, and so is every frame around it.
    bool IsReachable() const;
    // Whether the control takes the keyboard focus: a text box, list box or
    // option button, and a user control whose design says so.
    virtual bool TakesFocus() const;
    // A button that takes the focus: Space and Return on it click it.
    bool IsButton() const;

    // What a screen reader says of the control (ControlSpec: Role,
    // AccessibleName, LabelledBy) and what it says the caption means.
    AccessibleRole Role() const;
    std::string AccessibleName() const;
    virtual std::string AccessibleDescription() const { return {}; }
    // Clicks the control without the mouse (Window::Press); false when it has
    // no click of its own.
    virtual bool ClickWithoutMouse() { return false; }

    // The window calls this once the native side exists: it is placed (a label
    // that sizes itself fitted first), and hidden or disabled as the row says.
    void Realise();

    void MoveTo(float left, float top, std::optional<float> width, std::optional<float> height);
    // The window went to a screen of another scale (its TwipsPerPixel was
    // `oldTwipsPerPixel`): the bounds keep their twips, so their pixels change.
    virtual void Rescale(float oldTwipsPerPixel);
    void ChangeVisible(bool visible);
    void ChangeEnabled(bool enabled);
    void ToFront();

    // The native side, for the window.
    virtual WindowHandle NativeHandle() const { return 0; }  // windowed controls only
    virtual void Raise() = 0;  // top of its group: windowless controls stay below windowed ones
    virtual void Focus() {}
    virtual bool HasFocus() const { return false; }
    // The window is going: the native side must not call into the program again.
    virtual void Detach() {}
    // Tells screen readers that the name or the description changed.
    virtual void AccessibleNameChanged() {}
    virtual void AccessibleDescriptionChanged() {}
    // The window began to show focus cues (Window::KeyboardCues).
    virtual void KeyboardCuesShown() {}

protected:
    // The role of the kind, when the row names none.
    virtual AccessibleRole KindRole() const;
    // The name the control has of itself: its caption (option buttons and
    // frames keep their layout's; a label its current one).
    virtual std::string OwnName() const;

    virtual void Place(const WholePixelRect& rect) = 0;
    virtual void ShowNative(bool visible) = 0;
    virtual void EnableNative(bool enabled) = 0;
    // A new rectangle was set; a control that sizes itself corrects it here.
    virtual void BoundsChanged() { Place(ToWholePixels(m_Bounds)); }

    PixelRect m_Bounds;

private:
    VisibleControl* m_Container;
    bool m_Visible;
    bool m_Enabled;
};

// IVisibleControl on VisibleControl, for each interface of a visible kind.
template <typename Interface>
class VisibleOf : public Interface, public VisibleControl {
public:
    explicit VisibleOf(const ControlArgs& args) : VisibleControl(args) {}

    PixelRect Bounds() const override { return VisibleControl::Bounds(); }
    void Move(float left, float top, std::optional<float> width = std::nullopt,
              std::optional<float> height = std::nullopt) override {
        MoveTo(left, top, width, height);
    }
    bool Visible() const override {
        CheckLoaded();
        return IsVisible();
    }
    void SetVisible(bool visible) override { ChangeVisible(visible); }
    bool Enabled() const override {
        CheckLoaded();
        return IsEnabled();
    }
    void SetEnabled(bool enabled) override { ChangeEnabled(enabled); }
    void BringToFront() override { ToFront(); }
};

class Label : public VisibleOf<ILabel> {
public:
    explicit Label(const ControlArgs& args);

    std::string Caption() const override;
    void SetCaption(std::string_view caption) override;
    float FontSize() const override;
    void SetFontSize(float points) override;
    Colour ForeColour() const override;
    void SetForeColour(Colour colour) override;
    std::string Description() const override;
    void SetDescription(std::string_view description) override;
    void SetSpokenName(std::string_view name) override;

    std::string AccessibleDescription() const override { return m_Description; }
    bool ClickWithoutMouse() override;

protected:
    std::string OwnName() const override;
    virtual void ShowCaption(std::string_view caption) = 0;
    virtual void ShowFont(const FontSpec& font) = 0;  // Points is the label's current size
    virtual void ShowForeColour(Colour colour) = 0;
    // The size of the caption on one line per line break, border included.
    virtual WholePixelRect FittedSize() const = 0;
    void BoundsChanged() override;
    // A left press and release over the label.
    void UserClicked();

    FontSpec m_Font;

private:
    std::string m_Caption;
    Colour m_ForeColour;
    std::string m_Description;
    std::string m_SpokenName;
};

class TextBox : public VisibleOf<ITextBox> {
public:
    using VisibleOf::VisibleOf;

    std::string Text() const override;
    void SetText(std::string_view text) override;

    // What the native side holds and shows.
    virtual std::string NativeText() const = 0;
    virtual void ShowText(std::string_view text) = 0;
    // Taking the focus from the keyboard selects the whole text, as a dialog does.
    virtual void SelectAll() = 0;
};

class ListBox : public VisibleOf<IListBox> {
public:
    using VisibleOf::VisibleOf;

    void AddItem(std::string_view text) override;
    int ListCount() const override;
    std::string List(int row) const override;
    int ListIndex() const override;
    void SetListIndex(int row) override;

protected:
    virtual void AddNativeItem(std::string_view text) = 0;
    virtual int NativeListIndex() const = 0;  // -1: nothing selected
    virtual void SelectNative(int row) = 0;   // -1: clear the selection; scrolled into view

private:
    std::vector<std::string> m_Rows;
};

class OptionButton : public VisibleOf<IOptionButton> {
public:
    explicit OptionButton(const ControlArgs& args);

    bool Value() const override;
    void SetValue(bool selected) override;

protected:
    virtual void ShowValue(bool selected) = 0;
    // The user selected the button (mouse or keyboard): it is selected, the
    // others of its frame are cleared, then Click is raised.
    void UserSelected();

private:
    friend class Window;  // the arrow keys in a group (Window::MoveInGroup)
    bool m_Value;
};

class Frame : public VisibleOf<IFrame> {
public:
    using VisibleOf::VisibleOf;
};

class Image : public VisibleOf<IImage> {
public:
    using VisibleOf::VisibleOf;

    bool ClickWithoutMouse() override;

protected:
    void UserClicked();
};

}  // namespace ponderix::platform::core
