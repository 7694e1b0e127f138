// The About window (fAbout): the product's name as a title, a short
// description ending in a "Brought to you by" line, and the publisher's web
// address as a link that opens in the default browser.
#pragma once

#include <memory>
#include <string>

#include "platform/WindowSystem.h"
#include "ui/LinkOpener.h"

namespace ponderix::ui {

class AboutWindow {
public:
    // The title's size once loaded, in points.
    static constexpr float TitleFontSize = 25;
    // The link's distance from the description's left and bottom edges, in
    // pixels at 96 dots per inch (60 twips: more pixels on a finer screen).
    static constexpr float LinkInset = 4;

    // The description: an empty first line, the product in a sentence, an
    // underline row, an empty line and the "Brought to you by" line, broken
    // by lone carriage returns.
    static std::string Description();

    // Builds the window from its layout and loads it (hidden); a click on the
    // link hands the address to openLink.
    AboutWindow(platform::IWindowSystem& system, LinkOpener openLink);

    // Modeless, owned by the given window; shows the existing window again.
    void Show(platform::IWindow& owner) { m_Window->Show(&owner); }
    bool IsLoaded() const { return m_Window->IsLoaded(); }
    platform::IWindow& Window() { return *m_Window; }

private:
    void Form_Load();
    void Form_Resize();
    void lblURL_Click();

    LinkOpener m_OpenLink;
    std::unique_ptr<platform::IWindow> m_Window;
    platform::ILabel& lblURL;
    platform::ILabel& lblAbout;
    platform::ILabel& lblLogo;
};

}  // namespace ponderix::ui
