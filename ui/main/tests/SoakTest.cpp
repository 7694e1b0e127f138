// Long use of the main window, compressed: many calculations, and minutes of
// blinking on the virtual clock. Memory must stay flat; under the sanitizer
// preset LeakSanitizer checks at exit that nothing was lost.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "controls/picture_button/PictureButton.h"
#include "platform/fake/FakeWindowSystem.h"
#include "ui/main/MainWindow.h"

namespace ponderix::ui {
namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool MemoryIsMeasurable = false;  // the sanitizer keeps freed memory in quarantine
#else
constexpr bool MemoryIsMeasurable = true;
#endif

// Resident memory of this process in kilobytes (0 where /proc is not there).
long ResidentKilobytes() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmRSS:", 0) == 0) {
            return std::stol(line.substr(6));
        }
    }
    return 0;
}

TEST(MainWindowSoak, TenThousandCalculationsAndTenMinutesOfBlinkingKeepMemoryFlat) {
    platform::fake::FakeWindowSystem system;
    system.RegisterUserControl(controls::PictureButton::Class());
    MainWindow main(system, [](std::string_view /*address*/) {});
    main.Show();
    auto& window = dynamic_cast<platform::fake::FakeWindow&>(main.Window());
    auto& weight = window.Get<platform::ITextBox>("Text1");
    auto& calculate = window.UserControlHost("btnCalculate");

    const std::string weights[] = {"140", "400", "", "70kg", "1e400", "95.5"};
    auto round = [&](int calculations) {
        for (int i = 0; i < calculations; ++i) {
            weight.SetText(weights[static_cast<std::size_t>(i) % std::size(weights)]);
            calculate.ClickByUser();
        }
    };
    round(1000);  // warm-up: every allocation pattern has happened once
    const long before = ResidentKilobytes();
    round(9000);

    weight.SetText("400");
    calculate.ClickByUser();
    system.AdvanceTime(10 * 60 * 1000);
    const long after = ResidentKilobytes();

    EXPECT_EQ(system.DoEventsCount(), 10 * 60 * 4) << "one tick every 250 ms";
    EXPECT_EQ(window.Get<platform::ILabel>("lblBMI").Caption(), "60.94");
    if (MemoryIsMeasurable && before > 0) {
        EXPECT_LT(after - before, 1024)
            << "resident memory grew from " << before << " kB to " << after << " kB";
    }
}

}  // namespace
}  // namespace ponderix::ui
