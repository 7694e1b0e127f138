// The fake's standard controls: each keeps its properties in memory.
#pragma once

#include <string>
#include <vector>

#include "platform/LayoutSupport.h"
#include "platform/fake/FakeWindowSystem.h"

namespace ponderix::platform::fake {

// Position, visibility and the failure check, shared by all visible controls.
template <typename Interface>
class FakeVisible : public Interface {
public:
    FakeVisible(FakeWindow& window, const ControlSpec& row)
        : m_Window(window),
          m_Row(row),
          m_Key(ControlKey(row.Name, row.Index)),
          m_Bounds(ToPixels(row.Rect)),
          m_Visible(row.Kind != ControlKind::Timer),
          m_Enabled(row.Enabled) {}

    PixelRect Bounds() const override { return m_Bounds; }
    void Move(float left, float top, std::optional<float> width = std::nullopt,
              std::optional<float> height = std::nullopt) override {
        Check("Control.Move");
        m_Bounds = {left, top, width.value_or(m_Bounds.Width), height.value_or(m_Bounds.Height)};
    }
    bool Visible() const override { return m_Visible; }
    void SetVisible(bool visible) override {
        Check("Control.SetVisible");
        m_Visible = visible;
    }
    bool Enabled() const override { return m_Enabled; }
    void SetEnabled(bool enabled) override {
        Check("Control.SetEnabled");
        m_Enabled = enabled;
    }
    void BringToFront() override {
        Check("Control.BringToFront");
        m_Window.BringControlToFront(*this);
    }

protected:
    void Check(std::string_view operation) { m_Window.CheckLoaded(operation, m_Key); }

    FakeWindow& m_Window;
    const ControlSpec& m_Row;
    std::string m_Key;

private:
    PixelRect m_Bounds;
    bool m_Visible;
    bool m_Enabled;
};

class FakeLabel final : public FakeVisible<ILabel> {
public:
    FakeLabel(FakeWindow& window, const ControlSpec& row, const FontSpec& font)
        : FakeVisible(window, row),
          m_Caption(row.Caption),
          m_FontSize(font.Points),
          m_ForeColour(row.ForeColour) {}

    std::string Caption() const override { return m_Caption; }
    void SetCaption(std::string_view caption) override {
        Check("Label.SetCaption");
        m_Caption = caption;
    }
    float FontSize() const override { return m_FontSize; }
    void SetFontSize(float points) override {
        Check("Label.SetFontSize");
        m_FontSize = points;
    }
    Colour ForeColour() const override { return m_ForeColour; }
    void SetForeColour(Colour colour) override {
        Check("Label.SetForeColour");
        m_ForeColour = colour;
    }

private:
    std::string m_Caption;
    float m_FontSize;
    Colour m_ForeColour;
};

class FakeTextBox final : public FakeVisible<ITextBox> {
public:
    FakeTextBox(FakeWindow& window, const ControlSpec& row)
        : FakeVisible(window, row), m_Text(row.Caption) {}

    std::string Text() const override { return m_Text; }
    void SetText(std::string_view text) override {
        Check("TextBox.SetText");
        m_Text = text;
    }

private:
    std::string m_Text;
};

class FakeListBox final : public FakeVisible<IListBox> {
public:
    using FakeVisible::FakeVisible;

    void AddItem(std::string_view text) override {
        Check("ListBox.AddItem");
        m_Rows.emplace_back(text);
    }
    int ListCount() const override { return static_cast<int>(m_Rows.size()); }
    std::string List(int row) const override;
    int ListIndex() const override { return m_ListIndex; }
    void SetListIndex(int row) override;

private:
    std::vector<std::string> m_Rows;
    int m_ListIndex = -1;
};

class FakeOptionButton final : public FakeVisible<IOptionButton> {
public:
    FakeOptionButton(FakeWindow& window, const ControlSpec& row)
        : FakeVisible(window, row), m_Value(row.Value) {}

    bool Value() const override { return m_Value; }
    void SetValue(bool selected) override;
    // Clears the button because another of its group was selected.
    void Deselect() { m_Value = false; }
    std::string_view Group() const { return m_Row.Container; }

private:
    bool m_Value;
};

class FakeFrame final : public FakeVisible<IFrame> {
public:
    using FakeVisible::FakeVisible;
};

class FakeImage final : public FakeVisible<IImage> {
public:
    using FakeVisible::FakeVisible;
};

}  // namespace ponderix::platform::fake
