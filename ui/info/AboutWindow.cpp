#include "ui/info/AboutWindow.h"

#include <cmath>
#include <utility>

#include "platform/Units.h"
#include "ui/Product.h"
#include "ui/info/InfoLayouts.h"

namespace ponderix::ui {
namespace {

// A placing that is not a finite number (an overflow or an invalid operation)
// ends the placing; the moves made before it stay.
float Checked(float value) {
    if (!std::isfinite(value)) {
        throw platform::PlatformError("a label's position is not a finite number");
    }
    return value;
}

}  // namespace

std::string AboutWindow::Description() {
    std::string text;
    text += '\r';
    text += ' ';
    text += ProductName;
    text += " is a quick and easy way to calculate your BMI index,";
    text += "  and therefore help you to remain healthy";
    text += '\r';
    text += "    " + std::string(47, '_');
    text += '\r';
    text += '\r';
    text += std::string(32, ' ') + "Brought to you by ";
    return text;
}

AboutWindow::AboutWindow(platform::IWindowSystem& system, LinkOpener openLink)
    : m_OpenLink(std::move(openLink)),
      m_Window(system.CreateWindow(AboutLayout())),
      lblURL(m_Window->Get<platform::ILabel>("lblURL")),
      lblAbout(m_Window->Get<platform::ILabel>("lblAbout")),
      lblLogo(m_Window->Get<platform::ILabel>("lblLogo")) {
    m_Window->Resize.Connect([this] { Form_Resize(); });
    lblURL.Click.Connect([this] { lblURL_Click(); });
    Form_Load();
}

void AboutWindow::Form_Load() {
    lblURL.SetCaption(PublisherAddress);
    lblLogo.SetFontSize(TitleFontSize);
    lblLogo.SetCaption(ProductName);
    lblAbout.SetCaption(Description());
}

void AboutWindow::Form_Resize() {
    const float width = m_Window->ScaleWidth();
    const float height = m_Window->ScaleHeight();

    // The title, centred across the top.
    const platform::PixelRect logo = lblLogo.Bounds();
    lblLogo.Move(Checked(width / 2 - logo.Width / 2), 0);

    // The description under it, as wide as the title, down to the bottom.
    const platform::PixelRect title = lblLogo.Bounds();
    const platform::PixelRect about = lblAbout.Bounds();
    lblAbout.Move(Checked(width / 2 - about.Width / 2), Checked(title.Top + title.Height),
                  title.Width, Checked(height - title.Height));

    // The link along the description's bottom edge, inset at the left and bottom.
    const float inset = platform::PixelsToTwips(LinkInset) / m_Window->TwipsPerPixel();
    const platform::PixelRect description = lblAbout.Bounds();
    const platform::PixelRect link = lblURL.Bounds();
    lblURL.Move(Checked(description.Left + inset),
                Checked(description.Top + description.Height - link.Height - inset),
                Checked(description.Width - inset));
}

void AboutWindow::lblURL_Click() {
    // The address itself, whatever the label happens to show.
    m_OpenLink(PublisherAddress);
}

}  // namespace ponderix::ui
