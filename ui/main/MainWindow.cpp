#include "ui/main/MainWindow.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <variant>

#include "calc/Bmi.h"
#include "controls/picture_button/PictureButton.h"
#include "ui/Product.h"
#include "ui/info/AboutWindow.h"
#include "ui/info/QuickHelpWindow.h"
#include "ui/main/MainLayout.h"

namespace ponderix::ui {
namespace {

constexpr int DefaultHeightRow = 20;  // 5' 8"
constexpr std::string_view DefaultWeight = "140";
constexpr std::string_view DefaultHeight = "20";

platform::Colour ToColour(calc::Colour colour) {
    return platform::Colour::Rgb(colour.Red, colour.Green, colour.Blue);
}

}  // namespace

int StoredHeightRow(std::string_view stored) {
    double value = 0;
    try {
        value = calc::ParseWeight(stored);
    } catch (const calc::OverflowError&) {
        return DefaultHeightRow;
    }
    // The default rounding mode rounds halves to the even neighbour.
    const double row = std::nearbyint(value);
    if (!(row >= calc::HeightTable::NoHeight && row < calc::HeightTable::RowCount)) {
        return DefaultHeightRow;
    }
    return static_cast<int>(row);
}

std::string StoredHeightText(int row) {
    // Appended rather than written as " " + std::to_string(row): GCC 12 at -O3
    // reports that concatenation as an overlapping copy (-Wrestrict), a false
    // alarm from its inlined std::string code that fails a -Werror build.
    std::string text = row < 0 ? "" : " ";
    text += std::to_string(row);
    return text;
}

std::vector<std::string> SaveMessages(const platform::SaveOutcome& outcome) {
    std::vector<std::string> messages;
    if (!outcome.KeptAside.empty()) {
        // Shown once, when a store that could not be read was kept under
        // another name and a new one took its place.
        messages.push_back("The settings file could not be read, so it was kept as " +
                           std::string(outcome.KeptAside) + " and replaced with a new one.");
    }
    const auto notSaved = [&](std::string_view key) {
        return std::find(outcome.NotSaved.begin(), outcome.NotSaved.end(), key) !=
               outcome.NotSaved.end();
    };
    const bool weight = notSaved(WeightKey);
    const bool height = notSaved(HeightKey);
    if (weight && !height) {
        messages.emplace_back(MainWindow::WeightNotSavedMessage);
    } else if (height && !weight) {
        messages.emplace_back(MainWindow::HeightNotSavedMessage);
    } else if (!outcome.NotSaved.empty()) {
        messages.emplace_back(MainWindow::NotSavedMessage);
    }
    return messages;
}

MainWindow::MainWindow(platform::IWindowSystem& system, LinkOpener openLink)
    : m_System(system),
      m_OpenLink(std::move(openLink)),
      m_Window(system.CreateWindow(MainLayout())),
      Text1(m_Window->Get<platform::ITextBox>("Text1")),
      List1(m_Window->Get<platform::IListBox>("List1")),
      lblBMI(m_Window->Get<platform::ILabel>("lblBMI")),
      lblIWeight(m_Window->Get<platform::ILabel>("lblIWeight")),
      lblWeightUnit(m_Window->Get<platform::ILabel>("lblWeightUnit")),
      Timer1(m_Window->Get<platform::ITimer>("Timer1")),
      imBanner(m_Window->Get<platform::IImage>("imBanner")) {
    m_Window->UserControl<controls::PictureButton>("btnCalculate").Click.Connect([this] {
        btnCalculate_Click();
    });
    for (int index = 0; index <= 2; ++index) {
        m_Window->UserControl<controls::PictureButton>("btnForm", index)
            .Click.Connect([this, index] { btnForm_Click(index); });
    }
    for (int index = 0; index <= 1; ++index) {
        m_Window->Get<platform::IOptionButton>("optWeightUnit", index).Click.Connect([this, index] {
            optWeightUnit_Click(index);
        });
        m_Window->Get<platform::ILabel>("lblName", index).Click.Connect([this, index] {
            lblName_Click(index);
        });
    }
    Timer1.Tick.Connect([this] { Timer1_Timer(); });
    imBanner.Click.Connect([this] { imBanner_Click(); });
    m_Window->KeyDown.Connect(
        [this](std::int16_t& keyCode, std::int16_t& shift) { Form_KeyDown(keyCode, shift); });
    Form_Load();
}

MainWindow::~MainWindow() = default;

void MainWindow::Show() {
    m_Window->Show();
}

std::string MainWindow::GetSetting(std::string_view key, std::string_view defaultValue) {
    return m_System.Settings().GetSetting(ProductName, SettingsSection, key, defaultValue);
}

void MainWindow::Form_Load() {
    // The banner covers the placeholder name label, which shares its rectangle.
    imBanner.SetEnabled(true);
    imBanner.SetVisible(true);
    imBanner.BringToFront();

    for (int row = 0; row < calc::HeightTable::RowCount; ++row) {
        List1.AddItem(calc::HeightTable::Caption(row));
    }
    Text1.SetText(GetSetting(WeightKey, DefaultWeight));
    List1.SetListIndex(StoredHeightRow(GetSetting(HeightKey, DefaultHeight)));

    auto& publisher = m_Window->Get<platform::ILabel>("lblName", 0);
    publisher.SetFontSize(17);
    publisher.SetCaption(PublisherName);
    auto& product = m_Window->Get<platform::ILabel>("lblName", 1);
    product.SetFontSize(9);
    product.SetCaption(ProductName);

    const platform::PixelRect publisherBounds = publisher.Bounds();
    imBanner.Move(publisherBounds.Left, publisherBounds.Top);

    // The result's heading is read with the result, which has none yet.
    lblBMI.SetSpokenName(ResultHeading());
}

void MainWindow::Form_KeyDown(std::int16_t& keyCode, std::int16_t& shift) {
    if (keyCode == platform::KeyCode::F1 && shift == 0) {
        keyCode = 0;
        ShowQuickHelp();
    }
}

void MainWindow::btnCalculate_Click() {
    const bool kilograms = m_Window->Get<platform::IOptionButton>("optWeightUnit", 0).Value();
    const calc::WeightUnit unit =
        kilograms ? calc::WeightUnit::Kilograms : calc::WeightUnit::Pounds;

    calc::BmiOutcome outcome;
    try {
        outcome = calc::ComputeBmi(Text1.Text(), unit, static_cast<std::int16_t>(List1.ListIndex()),
                                   m_System.DecimalSeparator());
    } catch (const calc::OverflowError&) {
        m_System.ShowErrorMessage(WeightTooLargeMessage, ProductName);
        return;
    }
    if (const auto* error = std::get_if<calc::BmiInputError>(&outcome)) {
        m_System.ShowErrorMessage(calc::Message(*error), ProductName);
        return;
    }

    const auto& result = std::get<calc::BmiResult>(outcome);
    lblBMI.SetCaption(result.BmiText);
    lblIWeight.SetCaption(result.IdealWeightText);
    Timer1.SetEnabled(false);
    if (result.Band == calc::BmiBand::Extreme) {
        Timer1.SetEnabled(true);  // the interval starts anew
        lblBMI.SetForeColour(ToColour(calc::BlinkColour(true)));
    } else {
        lblBMI.SetForeColour(ToColour(result.Colour));
    }
    // What the colour shows, in words, for those who cannot see it; and the
    // result read out at once, wherever the focus is.
    lblBMI.SetDescription(calc::BandName(result.Band));
    const std::string said = result.BmiText + ", " + std::string(calc::BandName(result.Band));
    lblBMI.SetSpokenName(ResultHeading() + " " + said);
    m_Window->Announce(said + ". " + result.IdealWeightText);
    SaveSettings();
}

std::string MainWindow::ResultHeading() const {
    return m_Window->Get<platform::ILabel>("lblCaptions", 2).Caption();
}

void MainWindow::SaveSettings() {
    // Both in one save, so that the store never holds a weight without its height.
    platform::SaveOutcome outcome;
    try {
        const std::string weight = Text1.Text();
        const std::string height = StoredHeightText(List1.ListIndex());
        const platform::Setting values[] = {{WeightKey, weight}, {HeightKey, height}};
        outcome = m_System.Settings().SaveSettings(ProductName, SettingsSection, values);
    } catch (const platform::PlatformError&) {
        outcome.NotSaved = {std::string(WeightKey), std::string(HeightKey)};
    }
    // The result stays on the screen; the user learns what will not be remembered.
    for (const std::string& message : SaveMessages(outcome)) {
        m_System.ShowErrorMessage(message, ProductName);
    }
}

void MainWindow::optWeightUnit_Click(int index) {
    lblWeightUnit.SetCaption(index == 1 ? "Lbs." : "Kgs.");
}

void MainWindow::btnForm_Click(int index) {
    switch (index) {
        case 0:
            ShowPopupMenu();
            break;
        case 1:
            m_Window->Minimise();
            break;
        case 2:
            // Owned windows go with it; the program ends when no window is left.
            m_Window->Unload();
            break;
        default:
            break;
    }
}

void MainWindow::ShowPopupMenu() {
    unsigned chosen = 0;
    {
        const std::unique_ptr<platform::IPopupMenu> menu = m_System.CreatePopupMenu();
        menu->InsertItem(0, QuickHelpItem, "Quick Help");
        menu->InsertItem(1, AboutItem, "About");
        // At the cursor, or under the key when the keyboard pressed it.
        chosen = menu->Track(m_Window->PopupPoint(), *m_Window);
    }  // the menu is destroyed whatever was chosen
    if (chosen == AboutItem) {
        ShowAbout();
    } else if (chosen == QuickHelpItem) {
        ShowQuickHelp();
    }
}

void MainWindow::ShowAbout() {
    if (!m_About || !m_About->IsLoaded()) {
        m_About.reset();
        m_About = std::make_unique<AboutWindow>(m_System, m_OpenLink);
    }
    m_About->Show(*m_Window);
}

void MainWindow::ShowQuickHelp() {
    if (!m_QuickHelp || !m_QuickHelp->IsLoaded()) {
        m_QuickHelp.reset();
        m_QuickHelp = std::make_unique<QuickHelpWindow>(m_System);
    }
    m_QuickHelp->Show(*m_Window);
}

void MainWindow::Timer1_Timer() {
    m_BlinkPhase = !m_BlinkPhase;
    lblBMI.SetForeColour(ToColour(calc::BlinkColour(m_BlinkPhase)));
    m_System.DoEvents();
}

void MainWindow::imBanner_Click() {
    m_OpenLink(PublisherAddress);
}

void MainWindow::lblName_Click(int index) {
    if (index == 0) {
        m_OpenLink(PublisherAddress);
    }
}

}  // namespace ponderix::ui
