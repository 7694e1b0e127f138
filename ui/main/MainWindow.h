// The main window's behaviour (fMain): it fills the height list and restores
// the last weight and height when it loads, computes and shows the BMI when the
// calculate key is clicked (and tells screen readers the band in words),
// blinks an extreme result, saves the weight and height after each successful
// calculation, and runs the title-bar keys (menu, minimise, close), F1 for
// Quick Help, the unit buttons and the publisher's links.
//
// Toolkit-free: it reaches its controls through the window system.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/WindowSystem.h"
#include "ui/LinkOpener.h"

namespace ponderix::ui {

class AboutWindow;
class QuickHelpWindow;

class MainWindow {
public:
    // Identifiers of the popup menu's items.
    static constexpr unsigned AboutItem = 1000;
    static constexpr unsigned QuickHelpItem = 1001;

    // Shown when a weight is beyond what the arithmetic can hold.
    static constexpr std::string_view WeightTooLargeMessage = "The weight is too large";
    // Shown when the weight and height, or one of them, could not be stored.
    static constexpr std::string_view NotSavedMessage =
        "The weight and height could not be saved for the next start.";
    static constexpr std::string_view WeightNotSavedMessage =
        "The weight could not be saved for the next start.";
    static constexpr std::string_view HeightNotSavedMessage =
        "The height could not be saved for the next start.";

    // Builds the window from its layout and loads it (hidden). The banner, the
    // publisher's name and the About window's link hand the publisher's address
    // to openLink.
    MainWindow(platform::IWindowSystem& system, LinkOpener openLink);
    ~MainWindow();
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    // Modeless, without an owner.
    void Show();
    bool IsLoaded() const { return m_Window->IsLoaded(); }
    platform::IWindow& Window() { return *m_Window; }
    bool BlinkPhase() const { return m_BlinkPhase; }

    // The information windows while they exist (loaded or not), else null.
    AboutWindow* About() const { return m_About.get(); }
    QuickHelpWindow* QuickHelp() const { return m_QuickHelp.get(); }

private:
    void Form_Load();
    void Form_KeyDown(std::int16_t& keyCode, std::int16_t& shift);
    void btnCalculate_Click();
    void optWeightUnit_Click(int index);
    void btnForm_Click(int index);
    void Timer1_Timer();
    void imBanner_Click();
    void lblName_Click(int index);

    void ShowPopupMenu();
    void ShowAbout();
    void ShowQuickHelp();
    void SaveSettings();
    // The words above the result: "Your BMI is:".
    std::string ResultHeading() const;
    std::string GetSetting(std::string_view key, std::string_view defaultValue);

    platform::IWindowSystem& m_System;
    LinkOpener m_OpenLink;
    std::unique_ptr<platform::IWindow> m_Window;
    platform::ITextBox& Text1;
    platform::IListBox& List1;
    platform::ILabel& lblBMI;
    platform::ILabel& lblIWeight;
    platform::ILabel& lblWeightUnit;
    platform::ITimer& Timer1;
    platform::IImage& imBanner;
    // Starts false, is inverted at every blink tick and never reset.
    bool m_BlinkPhase = false;
    std::unique_ptr<AboutWindow> m_About;
    std::unique_ptr<QuickHelpWindow> m_QuickHelp;
};

// The list row that a stored "Height" selects: the text read as a number
// like a typed weight, rounded half to even. A text that is not a row index
// from -1 to 35 gives row 20 (5' 8"), so no stored value can stop the window
// from loading.
int StoredHeightRow(std::string_view stored);

// How the selected row is stored: its digits after one space (the sign
// position of a non-negative number): row 20 is " 20".
std::string StoredHeightText(int row);

// What the window tells the user after it saved the weight and height, in
// order: nothing when both were stored into a store that could be read.
std::vector<std::string> SaveMessages(const platform::SaveOutcome& outcome);

}  // namespace ponderix::ui
