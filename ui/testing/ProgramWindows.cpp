#include "ui/testing/ProgramWindows.h"

#include "controls/picture_button/PictureButton.h"
#include "platform/Layout.h"
#include "ui/info/AboutWindow.h"
#include "ui/info/InfoLayouts.h"
#include "ui/info/QuickHelpWindow.h"
#include "ui/main/MainLayout.h"
#include "ui/main/MainWindow.h"

namespace ponderix::ui::testing {

ProgramWindows::ProgramWindows(platform::IWindowSystem& system) {
    system.RegisterUserControl(controls::PictureButton::Class());
    const auto noLink = [](std::string_view) {};
    m_Main = std::make_unique<MainWindow>(system, noLink);
    m_Main->Show();
    m_About = std::make_unique<AboutWindow>(system, noLink);
    m_About->Show(m_Main->Window());
    m_QuickHelp = std::make_unique<QuickHelpWindow>(system);
    m_QuickHelp->Show(m_Main->Window());
}

ProgramWindows::~ProgramWindows() = default;

platform::IWindow& ProgramWindows::Main() {
    return m_Main->Window();
}

platform::IWindow& ProgramWindows::About() {
    return m_About->Window();
}

platform::IWindow& ProgramWindows::QuickHelp() {
    return m_QuickHelp->Window();
}

std::vector<platform::IWindow*> ProgramWindows::All() {
    return {&Main(), &About(), &QuickHelp()};
}

std::vector<ControlPlace> ProgramWindows::Places() {
    std::vector<ControlPlace> places;
    const std::pair<platform::IWindow*, const platform::WindowSpec*> windows[] = {
        {&Main(), &MainLayout()}, {&About(), &AboutLayout()}, {&QuickHelp(), &QuickHelpLayout()}};
    for (const auto& [window, layout] : windows) {
        for (const platform::ControlSpec& row : layout->Controls) {
            auto* control =
                dynamic_cast<platform::IVisibleControl*>(&window->Control(row.Name, row.Index));
            if (control != nullptr) {
                places.push_back({window, std::string(layout->Name),
                                  platform::ControlKey(row.Name, row.Index), &row,
                                  control->Bounds()});
            }
        }
    }
    return places;
}

}  // namespace ponderix::ui::testing
