// The desktop services of the Qt backend: settings, the popup menu, the error
// message box, fonts, pictures, the icon and the cursor.
#include <QAccessible>
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFontInfo>
#include <QImageReader>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>
#include <memory>
#include <string>
#include <vector>

#include "platform/qt/QtConversions.h"
#include "platform/qt/tests/QtTestSupport.h"

namespace ponderix::platform::qt::testing {
namespace {

class QtSystemTest : public QtBackendTest {
protected:
    // The store's folder for an application, emptied for the test.
    static QString FreshFolder(const QString& application) {
        const QString folder =
            QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + u'/' +
            application;
        QDir(folder).removeRecursively();
        QFile::remove(folder);
        return folder;
    }
};

TEST_F(QtSystemTest, SettingsComeBackExactlyAsSaved) {
    FreshFolder(QStringLiteral("PonderixRoundTrip"));
    ISettingsStore& store = m_System.Settings();
    const std::string app = "PonderixRoundTrip";
    EXPECT_EQ(store.GetSetting(app, "Settings", "Weight", "140"), "140");
    EXPECT_EQ(store.GetSetting(app, "Settings", "Height", " 20"), " 20");

    const std::vector<std::string> values = {
        "72.5",
        " 20",
        "  both ends  ",
        "\"quoted\"",
        "a=b",
        "semi;colon",
        "one, two, three",
        ",",
        "back\\slash\\",
        "line\rbreak",
        "line\nbreak",
        "line\r\nbreak",
        "Grüße, Zoë, 体重",
        "@Variant(\"nope\")",
        "@",
        "#not a comment",
        "[Section]",
        "",
        "\nWeight=666\n[Other]\nkey=1",
        std::string(10000, 'x') + "end",
    };
    store.SaveSetting(app, "Settings", "Height", " 20");
    for (std::size_t i = 0; i < values.size(); ++i) {
        SCOPED_TRACE("value " + std::to_string(i));
        store.SaveSetting(app, "Settings", "Weight", values[i]);
        EXPECT_EQ(store.GetSetting(app, "Settings", "Weight", "default"), values[i]);
        EXPECT_EQ(store.GetSetting(app, "Settings", "Height", "default"), " 20")
            << "another key is untouched";
        EXPECT_EQ(store.GetSetting(app, "Other", "key", "absent"), "absent");
    }
    // A second store, as at the next start, reads what the file holds.
    store.SaveSetting(app, "Settings", "Weight", "one, \"two\"; three\\");
    QtWindowSystem next;
    EXPECT_EQ(next.Settings().GetSetting(app, "Settings", "Weight", ""), "one, \"two\"; three\\");
}

TEST_F(QtSystemTest, SettingsAreKeptPerApplicationAndSection) {
    FreshFolder(QStringLiteral("PonderixA"));
    FreshFolder(QStringLiteral("PonderixB"));
    ISettingsStore& store = m_System.Settings();
    store.SaveSetting("PonderixA", "Settings", "Weight", "1");
    store.SaveSetting("PonderixA", "Other", "Weight", "2");
    store.SaveSetting("PonderixB", "Settings", "Weight", "3");
    EXPECT_EQ(store.GetSetting("PonderixA", "Settings", "Weight", ""), "1");
    EXPECT_EQ(store.GetSetting("PonderixA", "Other", "Weight", ""), "2");
    EXPECT_EQ(store.GetSetting("PonderixB", "Settings", "Weight", ""), "3");
    EXPECT_TRUE(
        QFile::exists(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                      QStringLiteral("/PonderixA/PonderixA.ini")));
}

TEST_F(QtSystemTest, SavingToAStoreThatCannotBeWrittenThrows) {
    // A file where the application's folder should be: no one can write there,
    // not even the superuser.
    const QString folder = FreshFolder(QStringLiteral("PonderixReadOnly"));
    QFile blocker(folder);
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    ISettingsStore& store = m_System.Settings();
    EXPECT_THROW(store.SaveSetting("PonderixReadOnly", "Settings", "Weight", "70"), PlatformError);
    EXPECT_EQ(store.GetSetting("PonderixReadOnly", "Settings", "Weight", "140"), "140");
    QFile::remove(folder);
}

TEST_F(QtSystemTest, ReadingACorruptStoreGivesTheDefault) {
    const QString folder = FreshFolder(QStringLiteral("PonderixCorrupt"));
    ASSERT_TRUE(QDir().mkpath(folder));
    QFile file(folder + QStringLiteral("/PonderixCorrupt.ini"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray("\xff\xfe\x00[Settings\n=\x01\x02Weight\n\x00\x00garbage", 32));
    file.close();
    EXPECT_EQ(m_System.Settings().GetSetting("PonderixCorrupt", "Settings", "Weight", "140"),
              "140");

    // A folder where the file should be.
    const QString other = FreshFolder(QStringLiteral("PonderixFolder"));
    ASSERT_TRUE(QDir().mkpath(other + QStringLiteral("/PonderixFolder.ini")));
    EXPECT_EQ(m_System.Settings().GetSetting("PonderixFolder", "Settings", "Weight", "140"), "140");
    EXPECT_THROW(m_System.Settings().SaveSetting("PonderixFolder", "Settings", "Weight", "1"),
                 PlatformError);
}

TEST_F(QtSystemTest, PopupMenuOpensLeftOfThePointAndReturnsTheChosenId) {
    auto window = m_System.CreateWindow(TestWindow({}));
    window->Show();
    struct Case {
        Qt::MouseButton Button;
        int Item;  // -1: dismissed
        unsigned Expected;
    };
    const std::vector<Case> cases = {
        {Qt::LeftButton, 0, 2}, {Qt::RightButton, 1, 1}, {Qt::LeftButton, -1, 0}};
    for (const Case& c : cases) {
        auto menu = m_System.CreatePopupMenu();
        menu->InsertItem(0, 1, "About");
        menu->InsertItem(0, 2, "Quick Help");  // before "About"
        QRect shownAt;
        QStringList texts;
        QTimer::singleShot(50, [&] {
            auto* open = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            ASSERT_NE(open, nullptr);
            shownAt = open->geometry();
            for (const QAction* action : open->actions()) {
                texts << action->text();
            }
            if (c.Item < 0) {
                open->hide();
                return;
            }
            const QPoint centre = open->actionGeometry(open->actions()[c.Item]).center();
            QTest::mouseMove(open, centre);
            QTest::mouseClick(open, c.Button, {}, centre);
        });
        const unsigned chosen = menu->Track({400, 300}, *window);
        EXPECT_EQ(chosen, c.Expected);
        EXPECT_EQ(texts, (QStringList{QStringLiteral("Quick Help"), QStringLiteral("About")}));
        EXPECT_EQ(shownAt.right() + 1, 400) << "the right edge at the point";
        EXPECT_EQ(shownAt.top(), 300);
    }
}

TEST_F(QtSystemTest, PopupMenuChoosesTheHighlightedItemWithReturnOrEnterAndNothingWithout) {
    auto window = m_System.CreateWindow(TestWindow({}));
    window->Show();
    struct Case {
        std::vector<Qt::Key> Keys;
        unsigned Expected;
    };
    const std::vector<Case> cases = {
        {{Qt::Key_Down, Qt::Key_Return}, 2},
        {{Qt::Key_Down, Qt::Key_Down, Qt::Key_Enter}, 1},
        {{Qt::Key_Enter}, 0},
        {{Qt::Key_Return}, 0},
        {{Qt::Key_Escape}, 0},
    };
    for (const Case& c : cases) {
        auto menu = m_System.CreatePopupMenu();
        menu->InsertItem(0, 2, "Quick Help");
        menu->InsertItem(1, 1, "About");
        bool open = false;
        QTimer::singleShot(50, [&] {
            QWidget* popup = QApplication::activePopupWidget();
            ASSERT_NE(popup, nullptr);
            for (const Qt::Key key : c.Keys) {
                QTest::keyClick(popup, key);
            }
            open = QApplication::activePopupWidget() != nullptr;
            if (open) {
                popup->close();
            }
        });
        EXPECT_EQ(menu->Track({400, 300}, *window), c.Expected) << c.Keys.size() << " keys";
        EXPECT_FALSE(open) << "the keys closed the menu";
    }
}

// Qt leaves open popup menus out of the program's windows, and a reader took
// one for an object already gone: it said the item, never the menu.
TEST_F(QtSystemTest, AnOpenMenuIsAWindowOfTheProgramNamedAfterTheKeyThatOpenedIt) {
    static constexpr ControlSpec Key[] = {{.Kind = ControlKind::UserControl,
                                           .Name = "btnHelp",
                                           .Rect = HelpKey.Rect,
                                           .ClassId = Recorder::ClassId,
                                           .Role = AccessibleRole::PushButton,
                                           .AccessibleName = "Help"}};
    auto window = m_System.CreateWindow(TestWindow(Key));
    window->Show();
    Wait(50);
    QWidget* key = Find(*window, "btnHelp");
    const QPoint keyCentre = key->mapToGlobal(key->rect().center());
    QAccessibleInterface* program = QAccessible::queryAccessibleInterface(qApp);
    auto& recorder = window->UserControl<Recorder>("btnHelp");
    struct Case {
        bool ByMouse;
        std::string Highlighted;
    };
    const Case cases[] = {{true, ""}, {false, "Quick Help"}};
    for (const Case& c : cases) {
        const char* openedBy = c.ByMouse ? "the mouse" : "a reader's press";
        auto menu = m_System.CreatePopupMenu();
        menu->InsertItem(0, 2, "Quick Help");
        menu->InsertItem(1, 1, "About");
        std::string name;
        std::string highlighted;
        bool listed = false;
        QTimer::singleShot(50, [&] {
            auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            ASSERT_NE(popup, nullptr);
            QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(popup);
            name = accessible->text(QAccessible::Name).toStdString();
            const int index = program->indexOfChild(accessible);
            listed = index >= 0 && program->child(index) == accessible &&
                     accessible->parent() == program;
            if (popup->activeAction() != nullptr) {
                highlighted = popup->activeAction()->text().toStdString();
            }
            popup->close();
        });
        if (c.ByMouse) {
            menu->Track({keyCentre.x(), keyCentre.y()}, *window);
        } else {
            recorder.OnClick = [&] { menu->Track(window->PopupPoint(), *window); };
            QAccessible::queryAccessibleInterface(key)->actionInterface()->doAction(
                QAccessibleActionInterface::pressAction());
            Wait(200);
            recorder.OnClick = nullptr;
        }
        EXPECT_EQ(name, "Help") << openedBy;
        EXPECT_TRUE(listed) << openedBy << ": one of the program's windows while open";
        EXPECT_EQ(highlighted, c.Highlighted) << openedBy;
        for (int index = 0; index < program->childCount(); ++index) {
            EXPECT_NE(program->child(index)->role(), QAccessible::PopupMenu)
                << openedBy << ": closed, the menu is no window of the program";
        }
    }
}

TEST_F(QtSystemTest, ErrorMessageIsModalWithTheErrorIconAndOneOkButton) {
    auto window = m_System.CreateWindow(TestWindow({}));
    window->Show();
    bool seen = false;
    QTimer::singleShot(50, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        seen = true;
        EXPECT_EQ(box->icon(), QMessageBox::Critical);
        EXPECT_EQ(box->windowTitle(), QStringLiteral("Ponderix"));
        EXPECT_EQ(box->text(), QStringLiteral("Please specify weight"));
        EXPECT_EQ(box->standardButtons(), QMessageBox::Ok);
        EXPECT_EQ(box->parentWidget(), WidgetOf(*window));
        box->button(QMessageBox::Ok)->click();
    });
    m_System.ShowErrorMessage("Please specify weight", "Ponderix");
    EXPECT_TRUE(seen);
}

TEST_F(QtSystemTest, LayoutFontsAreAnsweredByMetricCompatibleFaces) {
    struct Case {
        const char* Requested;
        const char* Answered;
    };
    const std::vector<Case> cases = {
        {"Verdana", "DejaVu Sans"},
        {"Arial", "Liberation Sans"},
        {"Times New Roman", "Liberation Serif"},
    };
    for (const Case& c : cases) {
        const QFontInfo info(ToQFont({c.Requested, 9, 400}));
        EXPECT_EQ(info.family().toStdString(), c.Answered) << c.Requested;
    }
    const auto& registered = m_System.RegisteredFontFamilies();
    if (std::find(registered.begin(), registered.end(), "Tahoma") == registered.end()) {
        GTEST_SKIP() << "Wine's fonts are not installed";
    }
    for (const int weight : {400, 700}) {
        const QFontInfo tahoma(ToQFont({"Tahoma", 8.25f, weight}));
        EXPECT_EQ(tahoma.family().toStdString(), "Tahoma");
        EXPECT_EQ(tahoma.bold(), weight == 700);
    }
    EXPECT_EQ(QFontInfo(ToQFont({})).family().toStdString(), "MS Sans Serif");
}

TEST_F(QtSystemTest, PicturesAreDecodedOnceAndUnknownOnesRefused) {
    const Picture first = m_System.LoadPicture({"background.bmp"});
    EXPECT_EQ(m_System.LoadPicture({"background.bmp"}), first) << "the very same picture";
    EXPECT_EQ(first.Width(), 489);
    EXPECT_EQ(first.Height(), 406);
    EXPECT_THROW(m_System.LoadPicture({"missing.bmp"}), PlatformError);
    const QImage image = ToQImage(first.Pixels());
    EXPECT_EQ(image.pixel(17, 100), first.Pixels().At(17, 100)) << "ARGB32 is 0xAARRGGBB";
}

TEST_F(QtSystemTest, ProgramIconIsReadByQtsIconReader) {
    EXPECT_TRUE(QImageReader::supportedImageFormats().contains("ico"))
        << "the ICO plugin of Qt's GUI library is missing: windows would have no icon";
    const auto file = assets::FindAsset("ponderix.ico");
    ASSERT_FALSE(file.empty());
    const QIcon icon = ToQIcon(file);
    ASSERT_FALSE(icon.isNull());
    const QImage image = icon.pixmap(32, 32).toImage().convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(image.size(), QSize(32, 32));
    int opaque = 0;
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            opaque += qAlpha(image.pixel(x, y)) == 255 ? 1 : 0;
        }
    }
    EXPECT_GT(opaque, 32 * 32 / 4) << "the picture itself, not an empty image";
    EXPECT_LT(opaque, 32 * 32) << "with its transparent corners";
    const std::vector<std::uint8_t> notIcon = {0, 0, 2, 0, 1, 0};
    EXPECT_TRUE(ToQIcon(notIcon).isNull());
}

TEST_F(QtSystemTest, DecimalSeparatorAndCursor) {
    const std::string separator = m_System.DecimalSeparator();
    EXPECT_FALSE(separator.empty());
    EXPECT_EQ(separator, ToUtf8(QLocale::system().decimalPoint()));
    QCursor::setPos(120, 130);
    EXPECT_EQ(m_System.CursorPos(), (ScreenPoint{120, 130}));
    bool ran = false;
    QTimer::singleShot(0, [&] { ran = true; });
    m_System.DoEvents();
    EXPECT_TRUE(ran);
    EXPECT_FALSE(m_System.ShellOpen(""));
}

}  // namespace
}  // namespace ponderix::platform::qt::testing
