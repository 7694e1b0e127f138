// The picture button on the fake window system: faces, hover tracking, events
// and saved properties, driven with an injected mouse and a virtual clock.
#include "controls/picture_button/PictureButton.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/fake/FakeWindowSystem.h"

namespace ponderix::controls {
namespace {

using platform::AssetName;
using platform::ControlKind;
using platform::ControlSpec;
using platform::Picture;
using platform::PropertyBag;
using platform::PropertyEntry;
using platform::WindowSpec;
using platform::fake::FakeUserControlHost;
using platform::fake::FakeWindowSystem;

Picture SolidPicture(int width, int height, std::uint32_t argb) {
    platform::Bitmap bitmap{width, height, {}};
    bitmap.Pixels.assign(static_cast<std::size_t>(width * height), argb);
    return Picture::FromBitmap(std::move(bitmap));
}

// Saved the way a layout file spells the keys, beside the host's extent entries.
constexpr PropertyEntry SavedPictures[] = {
    {"picture", AssetName{"normal.bmp"}},
    {"picturehover", AssetName{"hover.bmp"}},
    {"picturedown", AssetName{"down.bmp"}},
    {"_extentx", 556},
    {"_extenty", 556},
};

constexpr ControlSpec Controls[] = {
    {.Kind = ControlKind::UserControl,
     .Name = "btnTest",
     .Rect = {1500, 1500, 315, 315},
     .ClassId = PictureButton::ClassId,
     .Properties = SavedPictures},
    {.Kind = ControlKind::UserControl,
     .Name = "btnBare",
     .Rect = {3000, 3000, 900, 855},
     .ClassId = PictureButton::ClassId},
};

constexpr WindowSpec Layout{.Name = "fTest",
                            .Caption = "Test",
                            .InnerWidth = 6000,
                            .InnerHeight = 6000,
                            .Controls = Controls};

// The poll ticks at the shortest interval a timer keeps.
constexpr int OneTick = platform::MinimumTimerInterval;

// Inside the 21 x 21 pixel button (315 twips), and outside it.
constexpr float Inside = 150;
constexpr float Elsewhere = -600;

class PictureButtonTest : public ::testing::Test {
protected:
    PictureButtonTest() {
        m_System.AddPicture("normal.bmp", m_Normal);
        m_System.AddPicture("hover.bmp", m_Hover);
        m_System.AddPicture("down.bmp", m_Down);
        m_System.RegisterUserControl(PictureButton::Class());
        m_Window = m_System.CreateWindow(Layout);
        m_Window->Show();
        m_Button = &m_Window->UserControl<PictureButton>("btnTest");
        m_Host = &dynamic_cast<platform::fake::FakeWindow&>(*m_Window).UserControlHost("btnTest");
        Record();
    }

    // Every event of the button, in order, as "Name" or "Name(button)".
    void Record() {
        auto withButton = [this](std::string name) {
            return [this, name](std::int16_t& button, std::int16_t&, float&, float&) {
                m_Events.push_back(name + "(" + std::to_string(button) + ")");
            };
        };
        m_Button->Click.Connect([this] { m_Events.emplace_back("Click"); });
        m_Button->DblClick.Connect([this] { m_Events.emplace_back("DblClick"); });
        m_Button->MouseMove.Connect(withButton("MouseMove"));
        m_Button->MouseUp.Connect(withButton("MouseUp"));
        m_Button->MouseDown.Connect(withButton("MouseDown"));
        m_Button->MouseEnter.Connect([this] { m_Events.emplace_back("MouseEnter"); });
        m_Button->MouseLeave.Connect([this] { m_Events.emplace_back("MouseLeave"); });
    }

    std::vector<std::string> TakeEvents() { return std::exchange(m_Events, {}); }
    Picture Face() const { return m_Host->Face(); }
    // Moves the cursor off the button without any notification, as a quick
    // move out does (the surface does not hold the mouse then).
    void LeaveQuickly() { m_System.SetCursorPos({0, 0}); }

    FakeWindowSystem m_System;
    Picture m_Normal = SolidPicture(21, 21, 0xff808080);
    Picture m_Hover = SolidPicture(21, 21, 0xffa0a0a0);
    Picture m_Down = SolidPicture(21, 21, 0xff202020);
    std::unique_ptr<platform::IWindow> m_Window;
    PictureButton* m_Button = nullptr;
    FakeUserControlHost* m_Host = nullptr;
    std::vector<std::string> m_Events;
};

TEST_F(PictureButtonTest, LoadsItsPicturesFromTheLayoutAndFitsTheNormalOne) {
    EXPECT_EQ(m_Button->Picture(), m_Normal);
    EXPECT_EQ(m_Button->PictureHover(), m_Hover);
    EXPECT_EQ(m_Button->PictureDown(), m_Down);
    EXPECT_EQ(Face(), m_Normal);
    EXPECT_EQ(m_Host->Width(), 315);
    EXPECT_EQ(m_Host->Height(), 315);
    EXPECT_EQ(m_System.EnabledTimerCount(), 0) << "no timer runs while nothing is hovered";
}

// ---------------------------------------------------------------------------
// Entering and leaving

TEST_F(PictureButtonTest, OnePassInAndOutRaisesOneEnterAndOneLeaveHoweverManyMoves) {
    for (int moves : {1, 2, 10}) {
        SCOPED_TRACE(moves);
        for (int i = 0; i < moves; ++i) {
            m_Host->MouseMove(0, 0, Inside + static_cast<float>(i), Inside);
        }
        EXPECT_EQ(Face(), m_Hover);
        EXPECT_EQ(m_System.EnabledTimerCount(), 1);

        LeaveQuickly();
        m_System.AdvanceTime(OneTick);
        EXPECT_EQ(Face(), m_Normal);
        EXPECT_EQ(m_System.EnabledTimerCount(), 0);
        m_System.AdvanceTime(100);

        std::vector<std::string> expected{"MouseMove(0)", "MouseEnter"};
        expected.insert(expected.end(), static_cast<std::size_t>(moves - 1), "MouseMove(0)");
        expected.emplace_back("MouseLeave");
        EXPECT_EQ(TakeEvents(), expected);
    }
}

TEST_F(PictureButtonTest, TheTimerFindsNothingWhileTheCursorStaysOver) {
    m_Host->MouseMove(0, 0, Inside, Inside);
    m_System.AdvanceTime(500);
    EXPECT_EQ(TakeEvents(), (std::vector<std::string>{"MouseMove(0)", "MouseEnter"}));
    EXPECT_EQ(Face(), m_Hover);
}

TEST_F(PictureButtonTest, AWindowOpenedOverAHoveredButtonEndsTheHoverAtTheNextTick) {
    m_Host->MouseMove(0, 0, Inside, Inside);
    TakeEvents();
    const platform::WindowHandle cover = m_System.AddForeignWindow(m_Host->ScreenRect());
    m_System.AdvanceTime(OneTick);
    EXPECT_EQ(TakeEvents(), std::vector<std::string>{"MouseLeave"});
    EXPECT_EQ(Face(), m_Normal);
    m_System.RemoveForeignWindow(cover);
}

TEST_F(PictureButtonTest, AMoveOutsideWhileTheSurfaceHoldsTheMouseShowsNormalWithoutAnEvent) {
    m_Host->MouseMove(0, 0, Inside, Inside);
    TakeEvents();
    m_Host->MouseMove(0, 0, Elsewhere, Inside);
    EXPECT_EQ(Face(), m_Normal);
    EXPECT_EQ(TakeEvents(), std::vector<std::string>{"MouseMove(0)"});
    EXPECT_EQ(m_System.EnabledTimerCount(), 1) << "the move leaves the timer to the next tick";
    m_System.AdvanceTime(OneTick);
    EXPECT_EQ(TakeEvents(), std::vector<std::string>{"MouseLeave"});
}

// ---------------------------------------------------------------------------
// Pressing

TEST_F(PictureButtonTest, PressDragOutAndRelease) {
    m_Host->MouseMove(0, 0, Inside, Inside);
    m_Host->MouseDown(1, 0, Inside, Inside);
    EXPECT_EQ(Face(), m_Down);
    m_Host->MouseMove(1, 0, Elsewhere, Inside);
    EXPECT_EQ(Face(), m_Normal);
    m_System.AdvanceTime(OneTick);
    m_Host->MouseUp(1, 0, Elsewhere, Inside);
    EXPECT_EQ(Face(), m_Normal);
    EXPECT_EQ(TakeEvents(), (std::vector<std::string>{"MouseMove(0)", "MouseEnter", "MouseDown(1)",
                                                      "MouseMove(1)", "MouseLeave", "MouseUp(1)"}));
}

TEST_F(PictureButtonTest, PressMoveInsideReleaseAndMoveEntersASecondTime) {
    m_Host->MouseMove(0, 0, Inside, Inside);
    std::vector<Picture> faces;
    m_Host->MouseDown(1, 0, Inside, Inside);
    faces.push_back(Face());
    m_Host->MouseMove(1, 0, Inside + 15, Inside);
    faces.push_back(Face());
    m_Host->MouseUp(1, 0, Inside + 15, Inside);
    faces.push_back(Face());
    m_Host->MouseMove(0, 0, Inside + 30, Inside);
    faces.push_back(Face());

    EXPECT_EQ(faces, (std::vector<Picture>{m_Down, m_Down, m_Hover, m_Hover}));
    EXPECT_EQ(TakeEvents(), (std::vector<std::string>{"MouseMove(0)", "MouseEnter", "MouseDown(1)",
                                                      "MouseMove(1)", "MouseUp(1)", "Click",
                                                      "MouseMove(0)", "MouseEnter"}));
}

TEST_F(PictureButtonTest, ReleaseOverTheButtonShowsHoverAndElsewhereNormal) {
    struct Case {
        float ReleaseX;
        Picture Expected;
    };
    for (const Case& c : {Case{Inside, m_Hover}, Case{Elsewhere, m_Normal}}) {
        m_Host->MouseMove(0, 0, Inside, Inside);
        m_Host->MouseDown(1, 0, Inside, Inside);
        m_Host->MouseUp(1, 0, c.ReleaseX, Inside);
        EXPECT_EQ(Face(), c.Expected);
        LeaveQuickly();
        m_System.AdvanceTime(OneTick);
    }
}

TEST_F(PictureButtonTest, OtherButtonsRaiseTheirEventsAndLeaveTheFace) {
    for (std::int16_t button :
         {std::int16_t{2}, std::int16_t{4}, std::int16_t{3}, std::int16_t{6}}) {
        SCOPED_TRACE(button);
        m_Host->MouseMove(0, 0, Inside, Inside);
        TakeEvents();
        m_Host->MouseDown(button, 0, Inside, Inside);
        EXPECT_EQ(Face(), m_Hover);
        m_Host->MouseMove(button, 0, Inside + 15, Inside);
        EXPECT_EQ(Face(), m_Hover);
        m_Host->MouseUp(button, 0, Inside + 15, Inside);
        EXPECT_EQ(Face(), m_Hover);
        const std::string b = std::to_string(button);
        EXPECT_EQ(TakeEvents(),
                  (std::vector<std::string>{"MouseDown(" + b + ")", "MouseMove(" + b + ")",
                                            "MouseUp(" + b + ")"}));
    }
}

TEST_F(PictureButtonTest, TheLeftButtonHeldWithAnotherShowsNoPressedFace) {
    m_Host->MouseMove(0, 0, Inside, Inside);
    m_Host->MouseMove(3, 0, Inside + 15, Inside);  // left and right held
    EXPECT_EQ(Face(), m_Hover);
}

TEST_F(PictureButtonTest, HandlersChangeTheButtonTheControlTestsAfterwards) {
    m_Button->MouseDown.Connect(
        [](std::int16_t& button, std::int16_t&, float&, float&) { button = 0; });
    m_Host->MouseMove(0, 0, Inside, Inside);
    m_Host->MouseDown(1, 0, Inside, Inside);
    EXPECT_EQ(Face(), m_Hover) << "the handler turned the press into no button";

    m_Button->MouseMove.Connect(
        [](std::int16_t& button, std::int16_t&, float&, float&) { button = 2; });
    m_Host->MouseMove(1, 0, Elsewhere, Inside);
    EXPECT_EQ(Face(), m_Hover) << "a move the handler turned into the right button changes nothing";
}

TEST_F(PictureButtonTest, ClicksAreRelayed) {
    m_Host->Click();
    m_Host->DblClick();
    EXPECT_EQ(TakeEvents(), (std::vector<std::string>{"Click", "DblClick"}));
}

// ---------------------------------------------------------------------------
// Properties and size

TEST_F(PictureButtonTest, AssigningAPictureRedrawsTheCurrentStateAndReportsItsKey) {
    const Picture largerHover = SolidPicture(30, 25, 0xffffffff);
    m_Button->SetPictureHover(largerHover);
    EXPECT_EQ(m_Button->PictureHover(), largerHover) << "the same object, not a copy";
    EXPECT_EQ(Face(), m_Normal);
    EXPECT_EQ(m_Host->Width(), 315) << "the normal picture's size stays";
    EXPECT_EQ(m_Host->ChangedProperties(), std::vector<std::string>{"PictureHover"});

    m_Host->MouseMove(0, 0, Inside, Inside);
    EXPECT_EQ(Face(), largerHover);
    EXPECT_EQ(m_Host->Width(), 450);
    EXPECT_EQ(m_Host->Height(), 375);
}

TEST_F(PictureButtonTest, EachPropertyReportsItsOwnKey) {
    m_Button->SetPicture(m_Hover);
    m_Button->SetPictureDown(Picture{});
    m_Button->SetPictureHover(m_Normal);
    EXPECT_EQ(m_Host->ChangedProperties(),
              (std::vector<std::string>{"Picture", "PictureDown", "PictureHover"}));
    EXPECT_TRUE(m_Button->PictureDown().IsEmpty());
    EXPECT_EQ(Face(), m_Hover);
}

TEST_F(PictureButtonTest, AHostResizeSnapsBackToThePicture) {
    m_Host->Move(10, 10, 100, 60);
    EXPECT_EQ(m_Host->Bounds(), (platform::PixelRect{10, 10, 21, 21}));
    EXPECT_EQ(Face(), m_Normal);
}

TEST_F(PictureButtonTest, ABareButtonResizesWithoutAnError) {
    auto& bare = dynamic_cast<platform::fake::FakeWindow&>(*m_Window).UserControlHost("btnBare");
    EXPECT_NO_THROW(bare.Move(0, 0, 40, 40));
    EXPECT_TRUE(bare.Face().IsEmpty());
    EXPECT_EQ(bare.DrawCount(), 0);
}

TEST_F(PictureButtonTest, DrawingGoesOnPastFailingSteps) {
    const Picture larger = SolidPicture(40, 30, 0xff000000);
    for (const char* failing : {"Site.Clear", "Site.DrawPicture", "Site.SetWidth"}) {
        SCOPED_TRACE(failing);
        m_Button->SetPicture(m_Normal);
        m_System.FailOperation(failing);
        EXPECT_NO_THROW(m_Button->SetPicture(larger));
        m_System.StopFailing();
        EXPECT_EQ(m_Host->Height(), 450) << "the last step ran";
        EXPECT_EQ(m_Host->ChangedProperties().back(), "Picture");
    }
}

TEST_F(PictureButtonTest, FailuresOutsideDrawingReachTheCaller) {
    struct Case {
        const char* Failing;
        bool Release;  // a mouse up, else a move without a button
    };
    for (const Case& c : {Case{"Site.Handle", false}, Case{"WindowFromPoint", true},
                          Case{"Timer.SetEnabled", false}}) {
        SCOPED_TRACE(c.Failing);
        m_System.FailOperation(c.Failing, 1);
        if (c.Release) {
            EXPECT_THROW(m_Host->MouseUp(1, 0, Inside, Inside), platform::PlatformError);
        } else {
            EXPECT_THROW(m_Host->MouseMove(0, 0, Inside, Inside), platform::PlatformError);
        }
        m_System.StopFailing();
    }
    m_System.FailOperation("Site.PropertyChanged", 1);
    EXPECT_THROW(m_Button->SetPicture(m_Hover), platform::PlatformError);
    EXPECT_EQ(Face(), m_Hover) << "the face was drawn before the failing notice";
}

TEST_F(PictureButtonTest, PropertiesRoundTripThroughTheBagAndLeaveEmptyPicturesOut) {
    m_Button->SetPictureDown(Picture{});
    PropertyBag bag;
    m_Button->UserControl_WriteProperties(bag);
    ASSERT_EQ(bag.Size(), 2U);
    EXPECT_EQ(bag.ReadPicture("PICTURE"), m_Normal);
    EXPECT_EQ(bag.ReadPicture("pictureHOVER"), m_Hover);
    EXPECT_FALSE(bag.Contains("PictureDown"));

    bag.WriteProperty("_extentx", std::int32_t{556});
    auto& bare = m_Window->UserControl<PictureButton>("btnBare");
    bare.UserControl_ReadProperties(bag);
    EXPECT_EQ(bare.Picture(), m_Normal);
    EXPECT_EQ(bare.PictureHover(), m_Hover);
    EXPECT_TRUE(bare.PictureDown().IsEmpty());

    bare.UserControl_InitProperties();
    EXPECT_TRUE(bare.Picture().IsEmpty());
    EXPECT_TRUE(bare.PictureHover().IsEmpty());
}

}  // namespace
}  // namespace ponderix::controls
