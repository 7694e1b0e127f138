// What the Linux program says when it cannot start on a display: which
// displays Qt tries, whether anything listens there, and the one line.
#include "app/StartFailure.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace ponderix::app {
namespace {

using Environment = std::map<std::string, std::string>;

NamedDisplays Named(const Environment& environment) {
    return NamedDisplays::From([&](const char* name) {
        const auto found = environment.find(name);
        return found != environment.end() ? found->second : std::string();
    });
}

TEST(StartFailure, TheDisplaysQtTriesFollowTheEnvironmentAsQtReadsIt) {
    struct Case {
        const char* What;
        Environment Set;
        bool TriesX;
        bool TriesWayland;
        const char* X;
        const char* Wayland;
        bool NoneNamed;
    };
    const Case cases[] = {
        {"nothing set", {}, true, false, "", "", true},
        {"an X session", {{"DISPLAY", ":0"}}, true, false, ":0", "", false},
        {"a Wayland session",
         {{"WAYLAND_DISPLAY", "wayland-1"}, {"DISPLAY", ":0"}},
         true,
         true,
         ":0",
         "wayland-1",
         false},
        {"only its type says Wayland",
         {{"XDG_SESSION_TYPE", "wayland"}},
         true,
         true,
         "",
         "wayland-0",
         false},
        {"X11 asked for",
         {{"QT_QPA_PLATFORM", "xcb"}, {"WAYLAND_DISPLAY", "w"}},
         true,
         false,
         "",
         "",
         true},
        {"a list with options",
         {{"QT_QPA_PLATFORM", "wayland-egl;xcb:nograb"}, {"DISPLAY", ":3"}},
         true,
         true,
         ":3",
         "wayland-0",
         false},
        {"no display at all asked for",
         {{"QT_QPA_PLATFORM", "offscreen"}},
         false,
         false,
         "",
         "",
         false},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.What);
        const NamedDisplays named = Named(test.Set);
        EXPECT_EQ(named.TriesX, test.TriesX);
        EXPECT_EQ(named.TriesWayland, test.TriesWayland);
        EXPECT_EQ(named.X, test.X);
        EXPECT_EQ(named.Wayland, test.Wayland);
        EXPECT_EQ(named.NoneNamed(), test.NoneNamed);
    }
}

// Sockets in a folder of the test's own.
class ListeningSockets : public ::testing::Test {
protected:
    ListeningSockets() {
        std::string pattern = (std::filesystem::temp_directory_path() / "ponderix-XXXXXX").string();
        m_Folder = ::mkdtemp(pattern.data()) != nullptr ? pattern : std::string();
    }
    ~ListeningSockets() override {
        for (const int socket : m_Sockets) {
            ::close(socket);
        }
        std::filesystem::remove_all(m_Folder);
    }

    // A socket at the path that listens, or (listening false) one that was
    // bound there and closed: its file stays, nobody answers.
    void Socket(const std::string& name, bool listening = true) {
        const std::string path = m_Folder + "/" + name;
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        ASSERT_LT(path.size(), sizeof address.sun_path);
        std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
        const int socket = ::socket(AF_UNIX, SOCK_STREAM, 0);
        ASSERT_GE(socket, 0);
        ASSERT_EQ(::bind(socket, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
        if (listening) {
            ASSERT_EQ(::listen(socket, 4), 0);
            m_Sockets.push_back(socket);
        } else {
            ::close(socket);
        }
    }

    std::string m_Folder;
    std::vector<int> m_Sockets;
};

TEST_F(ListeningSockets, AnXDisplayAnswersWhereItsServerListens) {
    ASSERT_FALSE(m_Folder.empty());
    Socket("X7");
    Socket("X9", false);
    const std::pair<const char*, bool>
        cases[] =
            {
                {":7", true},          {":7.0", true}, {"unix:7", true}, {":8", false},
                {":9", false},         {"", false},    {":", false},     {":x", false},
                {"elsewhere:0", true},  // over the network: Qt says whether it is there
            };
    for (const auto& [display, answers] : cases) {
        EXPECT_EQ(XDisplayAnswers(display, m_Folder), answers) << display;
    }
}

TEST_F(ListeningSockets, AWaylandDisplayAnswersWhereItsCompositorListens) {
    ASSERT_FALSE(m_Folder.empty());
    Socket("wayland-1");
    Socket("wayland-2", false);
    EXPECT_TRUE(WaylandDisplayAnswers("wayland-1", m_Folder));
    EXPECT_TRUE(WaylandDisplayAnswers(m_Folder + "/wayland-1", "")) << "a path of its own";
    EXPECT_FALSE(WaylandDisplayAnswers("wayland-1", "")) << "no runtime folder to look in";
    EXPECT_FALSE(WaylandDisplayAnswers("wayland-2", m_Folder)) << "nobody listens any more";
    EXPECT_FALSE(WaylandDisplayAnswers("wayland-3", m_Folder));
    EXPECT_FALSE(WaylandDisplayAnswers("", m_Folder));
}

TEST(StartFailure, TheLineSaysThatNoDisplayIsThereOrGivesQtsReasons) {
    const std::vector<std::string> reasons = {
        "Authorization required, but no authorization protocol specified",
        "qt.qpa.xcb: could not connect to display :5",
        "This application failed to start because no Qt platform plugin could be "
        "initialized.\n\nAvailable platform plugins are: xcb.\n"};
    struct Case {
        const char* What;
        Environment Set;
        DisplaysThere There;
        const char* Line;
    };
    const Case cases[] = {
        {"an X display nobody serves",
         {{"DISPLAY", ":5"}},
         {},
         "ponderix: needs a graphical display, and the one named by DISPLAY (:5) could not be "
         "opened"},
        {"a Wayland display that is not there",
         {{"WAYLAND_DISPLAY", "w-1"}},
         {},
         "ponderix: needs a graphical display, and the Wayland display w-1 could not be opened"},
        {"neither",
         {{"WAYLAND_DISPLAY", "w-1"}, {"DISPLAY", ":5"}},
         {},
         "ponderix: needs a graphical display, and neither the Wayland display w-1 nor the one "
         "named by DISPLAY (:5) could be opened"},
        {"an X display that refuses",
         {{"DISPLAY", ":5"}},
         {.X = true},
         "ponderix: could not start on the X display :5: Authorization required, but no "
         "authorization protocol specified; qt.qpa.xcb: could not connect to display :5; This "
         "application failed to start because no Qt platform plugin could be initialized. "
         "Available platform plugins are: xcb."},
        {"the Wayland display there, the X one not",
         {{"WAYLAND_DISPLAY", "w-1"}, {"DISPLAY", ":5"}},
         {.Wayland = true},
         "ponderix: could not start on the Wayland display w-1: Authorization required, but no "
         "authorization protocol specified; qt.qpa.xcb: could not connect to display :5; This "
         "application failed to start because no Qt platform plugin could be initialized. "
         "Available platform plugins are: xcb."},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.What);
        EXPECT_EQ(StartFailureLine(Named(test.Set), test.There, reasons), test.Line);
    }
    EXPECT_EQ(StartFailureLine(Named({{"QT_QPA_PLATFORM", "offscreen"}}), {}, {"", " \n"}),
              "ponderix: could not start on the graphical display: Qt gave no reason");
}

TEST(StartFailure, TheErrorStreamIsHeldWhateverWritesToIt) {
    std::string held;
    {
        HeldErrorStream hold;
        std::fprintf(stderr, "through the C library\n");
        const char direct[] = "straight to the descriptor\n";
        ASSERT_EQ(::write(STDERR_FILENO, direct, sizeof direct - 1),
                  static_cast<ssize_t>(sizeof direct - 1));
        held = hold.Release();
        EXPECT_EQ(hold.Release(), "") << "once";
    }
    EXPECT_EQ(held, "through the C library\nstraight to the descriptor\n");
    HeldErrorStream again;
    std::fputs("again\n", stderr);
    EXPECT_EQ(again.Release(), "again\n") << "the stream was put back, and can be held again";
}

}  // namespace
}  // namespace ponderix::app
