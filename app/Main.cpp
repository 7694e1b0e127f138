#include "app/Main.h"

#include <exception>
#include <string>

#include "app/OpenLink.h"
#include "controls/picture_button/PictureButton.h"
#include "ui/Product.h"

namespace ponderix::app {

std::unique_ptr<ui::MainWindow> Main(platform::IWindowSystem& system) {
    system.RegisterUserControl(controls::PictureButton::Class());
    auto mainWindow = std::make_unique<ui::MainWindow>(
        system, [&system](std::string_view address) { OpenLink(system, address); });
    mainWindow->Show();
    return mainWindow;
}

int Run(platform::IWindowSystem& system) {
    std::unique_ptr<ui::MainWindow> mainWindow;
    try {
        mainWindow = Main(system);
    } catch (const std::exception& error) {
        system.ShowErrorMessage(std::string(ui::ProductName) + " could not start: " + error.what(),
                                ui::ProductName);
        return 1;
    }
    return system.Run();
}

}  // namespace ponderix::app
