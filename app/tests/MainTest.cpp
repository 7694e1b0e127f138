// Start-up and link opening on the fake window system.
#include "app/Main.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/OpenLink.h"
#include "platform/fake/FakeWindowSystem.h"

namespace ponderix::app {
namespace {

using platform::fake::FakeWindowSystem;

TEST(Main, ShowsTheLoadedMainWindowWithoutAnOwner) {
    FakeWindowSystem system;
    system.StoredSettings()[{"Ponderix", "Settings", "Weight"}] = "77";
    const auto mainWindow = Main(system);
    auto& window = platform::fake::FakeWindow::Of(mainWindow->Window());
    EXPECT_TRUE(window.IsVisibleOnScreen());
    EXPECT_EQ(window.Owner(), nullptr);
    EXPECT_EQ(window.ShowCount(), 1);
    EXPECT_EQ(window.Get<platform::ITextBox>("Text1").Text(), "77") << "loaded before it is shown";
    const auto rect = window.ScreenRect();
    EXPECT_EQ(rect.Width, 488);
    EXPECT_EQ(rect.Height, 405);
    EXPECT_EQ(rect.Left, (FakeWindowSystem::ScreenWidth - 488) / 2) << "centred on the screen";
}

TEST(Main, AMainWindowThatCannotLoadIsReportedInsteadOfShown) {
    FakeWindowSystem system;
    system.FailOperation("Window.Create");
    EXPECT_EQ(app::Run(system), 1);
    ASSERT_EQ(system.Messages().size(), 1U);
    EXPECT_EQ(system.Messages()[0].Caption, "Ponderix");
    EXPECT_TRUE(system.LoadedWindows().empty());
}

TEST(Main, ThePublishersLinksReachTheShellAndARefusalChangesNothing) {
    FakeWindowSystem system;
    const auto mainWindow = Main(system);
    auto& window = platform::fake::FakeWindow::Of(mainWindow->Window());
    window.ClickControl("imBanner");
    window.ClickControl("lblName", 0);
    EXPECT_EQ(system.OpenedLinks(),
              (std::vector<std::string>{"https://tarnwick.example/", "https://tarnwick.example/"}));

    system.SetShellRefuses(true);
    EXPECT_NO_THROW(window.ClickControl("imBanner"));
    system.FailOperation("Shell.Open", 1);
    EXPECT_NO_THROW(window.ClickControl("imBanner"));
    EXPECT_TRUE(window.IsVisibleOnScreen());
    EXPECT_TRUE(system.Messages().empty()) << "a refused link is not the user's error";
}

TEST(OpenLink, ReturnsNormallyWhateverTheShellDoes) {
    struct Case {
        bool Refuses;
        bool Fails;
    };
    for (const Case& c : {Case{false, false}, Case{true, false}, Case{false, true}}) {
        FakeWindowSystem system;
        system.SetShellRefuses(c.Refuses);
        if (c.Fails) {
            system.FailOperation("Shell.Open");
        }
        EXPECT_NO_THROW(OpenLink(system, "https://tarnwick.example/"));
        EXPECT_EQ(system.OpenedLinks().size(), c.Fails ? 0U : 1U);
    }
}

}  // namespace
}  // namespace ponderix::app
