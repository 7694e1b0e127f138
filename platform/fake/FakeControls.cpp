#include "platform/fake/FakeControls.h"

#include <memory>

#include "platform/fake/FakeUserControlHost.h"
#include "platform/fake/FakeWindow.h"

namespace ponderix::platform::fake {

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
