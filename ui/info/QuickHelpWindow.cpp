#include "ui/info/QuickHelpWindow.h"

#include "ui/Product.h"
#include "ui/info/InfoLayouts.h"

namespace ponderix::ui {

std::string QuickHelpWindow::HelpText() {
    std::string text;
    text += '\r';
    text += ProductName;
    text += " is very easy to use. Simply enter your weight in the left pane, and select";
    text +=
        " either Pounds or Kilograms. Next, select your height in feet and inches from the list "
        "on the right.";
    text +=
        " Finally, click the \"Calculate BMI button\". Your BMI Index number is displayed, and "
        "the result is color-coded ";
    text +=
        " to correspond with the legend below. Match the colors to determine the range in which "
        "your BMI Index falls.";
    text += "\r\n";
    text += "\r\n";
    text +=
        " The Body mass index (BMI) or Quetelet Index is a statistical measure of the weight of a "
        "person scaled according to height.";
    text += " It is most often used to determine the overall risk of poor health.";
    return text;
}

QuickHelpWindow::QuickHelpWindow(platform::IWindowSystem& system)
    : m_Window(system.CreateWindow(QuickHelpLayout())),
      lblQuickHelp(m_Window->Get<platform::ILabel>("lblQuickHelp")) {
    m_Window->Resize.Connect([this] { Form_Resize(); });
    Form_Load();
}

void QuickHelpWindow::Form_Load() {
    lblQuickHelp.SetCaption(HelpText());
}

void QuickHelpWindow::Form_Resize() {
    lblQuickHelp.Move(0, 0, m_Window->ScaleWidth(), m_Window->ScaleHeight());
}

}  // namespace ponderix::ui
