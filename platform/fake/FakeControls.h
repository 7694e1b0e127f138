// The fake's standard controls: the core keeps their properties; the native
// side here keeps only what a screen would (the text typed, the row selected,
// the focus) and lets a test act as the user.
#pragma once

#include <string>
#include <utility>

#include "platform/core/LayoutSupport.h"
#include "platform/fake/FakeWindowSystem.h"

namespace ponderix::platform::fake {

// The native side every fake control shares: a handle when it is windowed,
// and the keyboard focus, kept by its window.
template <typename Core>
class FakeNative : public Core {
public:
    explicit FakeNative(const core::ControlArgs& args)
        : Core(args),
          m_Fake(FakeWindow::Of(args.Window)),
          m_Handle(IsWindowed(args.Row.Kind) ? m_Fake.System().NewHandle() : 0) {}

    WindowHandle NativeHandle() const override { return m_Handle; }
    void Raise() override {}
    void Focus() override { m_Fake.SetFocusedControl(this); }
    bool HasFocus() const override { return m_Fake.FocusedControl() == this; }
    void AccessibleNameChanged() override {
        m_Fake.System().AccessibleEvent("name " + this->Key());
    }
    void AccessibleDescriptionChanged() override {
        m_Fake.System().AccessibleEvent("description " + this->Key());
    }

protected:
    void Place(const WholePixelRect& /*rect*/) override {}
    void ShowNative(bool /*visible*/) override {}
    void EnableNative(bool /*enabled*/) override {}

    FakeWindow& m_Fake;
    WindowHandle m_Handle;
};

class FakeLabel final : public FakeNative<core::Label> {
public:
    using FakeNative::FakeNative;
    void ClickByUser() { UserClicked(); }

protected:
    void ShowCaption(std::string_view /*caption*/) override {}
    void ShowFont(const FontSpec& /*font*/) override {}
    void ShowForeColour(Colour /*colour*/) override {}
    // Nothing is measured here: a label that sizes itself keeps its layout size.
    WholePixelRect FittedSize() const override { return ToWholePixels(m_Bounds); }
};

class FakeTextBox final : public FakeNative<core::TextBox> {
public:
    explicit FakeTextBox(const core::ControlArgs& args)
        : FakeNative(args), m_Text(args.Row.Caption) {}

    std::string NativeText() const override { return m_Text; }
    void ShowText(std::string_view text) override {
        m_Text = text;
        m_Selection = {m_Text.size(), 0};
    }
    void SelectAll() override { m_Selection = {0, m_Text.size()}; }
    // The user types characters over the selection.
    void Type(std::string_view characters);

    // The selected characters: (start, length).
    std::pair<std::size_t, std::size_t> Selection() const { return m_Selection; }

private:
    std::string m_Text;
    std::pair<std::size_t, std::size_t> m_Selection{0, 0};
};

class FakeListBox final : public FakeNative<core::ListBox> {
public:
    using FakeNative::FakeNative;

protected:
    void AddNativeItem(std::string_view /*text*/) override {}
    int NativeListIndex() const override { return m_ListIndex; }
    void SelectNative(int row) override { m_ListIndex = row; }

private:
    int m_ListIndex = -1;
};

class FakeOptionButton final : public FakeNative<core::OptionButton> {
public:
    using FakeNative::FakeNative;
    void ClickByUser() { UserSelected(); }

protected:
    void ShowValue(bool /*selected*/) override {}
};

class FakeFrame final : public FakeNative<core::Frame> {
public:
    using FakeNative::FakeNative;
};

class FakeImage final : public FakeNative<core::Image> {
public:
    using FakeNative::FakeNative;
    void ClickByUser() { UserClicked(); }
};

}  // namespace ponderix::platform::fake
