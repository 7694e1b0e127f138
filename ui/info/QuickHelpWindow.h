// The Quick Help window (fQuickHelp): how to use the calculator and what the
// body mass index is, in one label that fills the window.
#pragma once

#include <memory>
#include <string>

#include "platform/WindowSystem.h"

namespace ponderix::ui {

class QuickHelpWindow {
public:
    // Two paragraphs after an empty first line; the first line break is a lone
    // carriage return, the paragraphs are parted by two CR LF pairs.
    static std::string HelpText();

    // Builds the window from its layout and loads it (hidden).
    explicit QuickHelpWindow(platform::IWindowSystem& system);

    // Modeless, owned by the given window; shows the existing window again.
    void Show(platform::IWindow& owner) { m_Window->Show(&owner); }
    bool IsLoaded() const { return m_Window->IsLoaded(); }
    platform::IWindow& Window() { return *m_Window; }

private:
    void Form_Load();
    void Form_Resize();

    std::unique_ptr<platform::IWindow> m_Window;
    platform::ILabel& lblQuickHelp;
};

}  // namespace ponderix::ui
