#include "platform/core/CoreControls.h"

#include "platform/Error.h"
#include "platform/core/CoreWindow.h"
#include "platform/core/LayoutSupport.h"
#include "platform/core/WindowSystemBase.h"

namespace ponderix::platform::core {

ControlBase::ControlBase(const ControlArgs& args)
    : m_Window(args.Window), m_Row(args.Row), m_Key(args.Key) {}

void ControlBase::CheckLoaded() const {
    m_Window.CheckLoaded(m_Key);
}

void ControlBase::Check(std::string_view operation) const {
    CheckLoaded();
    m_Window.System().CheckOperation(operation, m_Key);
}

// ---------------------------------------------------------------------------
// Position, visibility, stacking

VisibleControl::VisibleControl(const ControlArgs& args)
    : ControlBase(args),
      m_Bounds{args.Window.TwipsToPixels(static_cast<float>(args.Row.Rect.Left)),
               args.Window.TwipsToPixels(static_cast<float>(args.Row.Rect.Top)),
               args.Window.TwipsToPixels(static_cast<float>(args.Row.Rect.Width)),
               args.Window.TwipsToPixels(static_cast<float>(args.Row.Rect.Height))},
      m_Container(args.Container),
      m_Visible(args.Row.Visible),
      m_Enabled(args.Row.Enabled) {}

bool VisibleControl::IsWindowed() const {
    return platform::IsWindowed(m_Row.Kind);
}

bool VisibleControl::IsReachable() const {
    for (const VisibleControl* control = this; control != nullptr; control = control->m_Container) {
        if (!control->m_Visible || !control->m_Enabled) {
            return false;
        }
    }
    return true;
}

bool VisibleControl::TakesFocus() const {
    switch (m_Row.Kind) {
        case ControlKind::TextBox:
        case ControlKind::ListBox:
        case ControlKind::OptionButton:
            return true;
        default:
            return false;
    }
}

bool VisibleControl::IsButton() const {
    return TakesFocus() && Role() == AccessibleRole::PushButton;
}

AccessibleRole VisibleControl::Role() const {
    return m_Row.Role != AccessibleRole::Default ? m_Row.Role : KindRole();
}

AccessibleRole VisibleControl::KindRole() const {
    return AccessibleRoleOf(m_Row.Kind);
}

std::string VisibleControl::AccessibleName() const {
    if (!m_Row.AccessibleName.empty()) {
        return std::string(m_Row.AccessibleName);
    }
    if (!m_Row.LabelledBy.empty()) {
        const VisibleControl* label = m_Window.FindVisible(m_Row.LabelledBy);
        return label != nullptr ? label->OwnName() : std::string();
    }
    return OwnName();
}

std::string VisibleControl::OwnName() const {
    switch (m_Row.Kind) {
        case ControlKind::OptionButton:
        case ControlKind::Frame:
            return ShownText(m_Row.Caption);
        default:
            return {};
    }
}

void VisibleControl::Realise() {
    BoundsChanged();
    if (!m_Visible) {
        ShowNative(false);
    }
    if (!m_Enabled) {
        EnableNative(false);
    }
}

void VisibleControl::MoveTo(float left, float top, std::optional<float> width,
                            std::optional<float> height) {
    Check("Control.Move");
    m_Bounds = {left, top, width.value_or(m_Bounds.Width), height.value_or(m_Bounds.Height)};
    BoundsChanged();
}

void VisibleControl::Rescale(float oldTwipsPerPixel) {
    // Through twips, so that going there and back gives the very same bounds.
    const auto scaled = [&](float pixels) {
        return m_Window.TwipsToPixels(pixels * oldTwipsPerPixel);
    };
    m_Bounds = {scaled(m_Bounds.Left), scaled(m_Bounds.Top), scaled(m_Bounds.Width),
                scaled(m_Bounds.Height)};
    BoundsChanged();
}

void VisibleControl::ChangeVisible(bool visible) {
    Check("Control.SetVisible");
    ShowNative(visible);
    m_Visible = visible;
}

void VisibleControl::ChangeEnabled(bool enabled) {
    Check("Control.SetEnabled");
    EnableNative(enabled);
    m_Enabled = enabled;
}

void VisibleControl::ToFront() {
    Check("Control.BringToFront");
    m_Window.BringToFront(*this);
}

// ---------------------------------------------------------------------------
// Labels

Label::Label(const ControlArgs& args)
    : VisibleOf(args),
      m_Font(args.Font),
      m_Caption(args.Row.Caption),
      m_ForeColour(args.Row.ForeColour) {}

std::string Label::Caption() const {
    CheckLoaded();
    return m_Caption;
}

void Label::SetCaption(std::string_view caption) {
    Check("Label.SetCaption");
    ShowCaption(caption);
    m_Caption = caption;
    if (m_Row.AutoSize) {
        BoundsChanged();
    }
    // Every setting is told, a caption set again to the same text too: a
    // result that is shown again is news to somebody who cannot see it.
    m_Window.CaptionChanged(*this);
}

float Label::FontSize() const {
    CheckLoaded();
    return m_Font.Points;
}

void Label::SetFontSize(float points) {
    Check("Label.SetFontSize");
    if (!(points > 0.0f && points < 2048.0f)) {
        throw PlatformError("font size " + std::to_string(points) + " is out of range");
    }
    FontSpec font = m_Font;
    font.Points = points;
    ShowFont(font);
    m_Font = font;
    if (m_Row.AutoSize) {
        BoundsChanged();
    }
}

Colour Label::ForeColour() const {
    CheckLoaded();
    return m_ForeColour;
}

void Label::SetForeColour(Colour colour) {
    Check("Label.SetForeColour");
    ShowForeColour(colour);
    m_ForeColour = colour;
}

std::string Label::Description() const {
    CheckLoaded();
    return m_Description;
}

void Label::SetDescription(std::string_view description) {
    Check("Label.SetDescription");
    m_Description = description;
    AccessibleDescriptionChanged();
}

std::string Label::OwnName() const {
    return m_SpokenName.empty() ? ShownText(m_Caption) : m_SpokenName;
}

void Label::SetSpokenName(std::string_view name) {
    Check("Label.SetSpokenName");
    m_SpokenName = name;
    m_Window.CaptionChanged(*this);
}

bool Label::ClickWithoutMouse() {
    if (!m_Window.IsLoaded() || !IsEnabled()) {
        return false;
    }
    Click.Raise();
    return true;
}

// A label that sizes itself keeps its left and top and takes its text's size.
void Label::BoundsChanged() {
    if (m_Row.AutoSize) {
        const WholePixelRect fitted = FittedSize();
        m_Bounds.Width = static_cast<float>(fitted.Width);
        m_Bounds.Height = static_cast<float>(fitted.Height);
    }
    VisibleControl::BoundsChanged();
}

void Label::UserClicked() {
    Label::ClickWithoutMouse();
}

// ---------------------------------------------------------------------------
// Text box, list box

std::string TextBox::Text() const {
    CheckLoaded();
    return NativeText();
}

void TextBox::SetText(std::string_view text) {
    Check("TextBox.SetText");
    ShowText(text);
}

void ListBox::AddItem(std::string_view text) {
    Check("ListBox.AddItem");
    AddNativeItem(text);
    m_Rows.emplace_back(text);
}

int ListBox::ListCount() const {
    CheckLoaded();
    return static_cast<int>(m_Rows.size());
}

std::string ListBox::List(int row) const {
    CheckLoaded();
    if (row < 0 || row >= ListCount()) {
        throw PlatformError("list row " + std::to_string(row) + " does not exist");
    }
    return m_Rows[static_cast<std::size_t>(row)];
}

int ListBox::ListIndex() const {
    CheckLoaded();
    return NativeListIndex();
}

void ListBox::SetListIndex(int row) {
    Check("ListBox.SetListIndex");
    if (row < -1 || row >= ListCount()) {
        throw PlatformError("invalid list index " + std::to_string(row));
    }
    SelectNative(row);
}

// ---------------------------------------------------------------------------
// Option buttons: the buttons of one container form a group.

OptionButton::OptionButton(const ControlArgs& args) : VisibleOf(args), m_Value(args.Row.Value) {}

bool OptionButton::Value() const {
    CheckLoaded();
    return m_Value;
}

void OptionButton::SetValue(bool selected) {
    Check("OptionButton.SetValue");
    if (selected) {
        for (VisibleControl* other : m_Window.Stacking(m_Row.Container)) {
            auto* option = dynamic_cast<OptionButton*>(other);
            if (option != nullptr && option != this && option->m_Value) {
                option->ShowValue(false);
                option->m_Value = false;
            }
        }
    }
    ShowValue(selected);
    m_Value = selected;
}

void OptionButton::UserSelected() {
    if (!m_Window.IsLoaded()) {
        return;
    }
    SetValue(true);
    Click.Raise();
}

bool Image::ClickWithoutMouse() {
    if (!m_Window.IsLoaded() || !IsEnabled()) {
        return false;
    }
    Click.Raise();
    return true;
}

void Image::UserClicked() {
    Image::ClickWithoutMouse();
}

}  // namespace ponderix::platform::core
