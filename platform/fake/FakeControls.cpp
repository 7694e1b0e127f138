#include "platform/fake/FakeControls.h"

#include <algorithm>
#include <memory>

#include "platform/fake/FakeUserControlHost.h"
#include "platform/fake/FakeWindow.h"

namespace ponderix::platform::fake {

// The typed characters take the place of the selection; the caret ends after
// them.
void FakeTextBox::Type(std::string_view characters) {
    const std::size_t start = std::min(m_Selection.first, m_Text.size());
    const std::size_t length = std::min(m_Selection.second, m_Text.size() - start);
    std::string typed = m_Text.substr(0, start);
    typed.append(characters);
    typed.append(m_Text, start + length);
    m_Text = std::move(typed);
    m_Selection = {start + characters.size(), 0};
}

// The controls a fake window is built of.
std::unique_ptr<core::Label> FakeWindow::MakeLabel(const core::ControlArgs& args) {
    return std::make_unique<FakeLabel>(args);
}

std::unique_ptr<core::TextBox> FakeWindow::MakeTextBox(const core::ControlArgs& args) {
    return std::make_unique<FakeTextBox>(args);
}

std::unique_ptr<core::ListBox> FakeWindow::MakeListBox(const core::ControlArgs& args) {
    return std::make_unique<FakeListBox>(args);
}

std::unique_ptr<core::OptionButton> FakeWindow::MakeOptionButton(const core::ControlArgs& args) {
    return std::make_unique<FakeOptionButton>(args);
}

std::unique_ptr<core::Frame> FakeWindow::MakeFrame(const core::ControlArgs& args) {
    return std::make_unique<FakeFrame>(args);
}

std::unique_ptr<core::Image> FakeWindow::MakeImage(const core::ControlArgs& args) {
    return std::make_unique<FakeImage>(args);
}

std::unique_ptr<core::UserControlHost> FakeWindow::MakeUserControl(
    const core::ControlArgs& args, const UserControlClass& userControlClass) {
    return std::make_unique<FakeUserControlHost>(args, userControlClass);
}

}  // namespace ponderix::platform::fake
