#include "qt_test_support.h"
#include "ui/common/file_dialogs.h"
#include "ui/common/qt_colour.h"
#include "ui/dialogs/colours_panel.h"
#include "ui/editor/picking_widgets.h"
#include "ui/main/file_commands.h"
#include "ui/main/main_window.h"
#include "ui/main/theme_panel.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <memory>

using namespace tintwell;

namespace {

// Answers every Open dialog with one theme.
class FixedDialogs : public FileDialogs
{
public:
    QString path;

    QString open_path(QWidget*, const QString&, const QString&) override { return path; }
    QString save_path(QWidget*, const QString&, const QString&, const QString&) override
    {
        return {};
    }
};

// How a test closes a panel.
enum class Closing { Button, Escape, ViewItem, MenuBarItem };

// True when the image's edge is the swatch outline all round and its middle is `colour`.
bool outlined(const QImage& image, const QColor& colour)
{
    const int right = image.width() - 1;
    const int bottom = image.height() - 1;
    for (const QPoint edge : { QPoint(0, bottom / 2), QPoint(right, bottom / 2),
             QPoint(right / 2, 0), QPoint(right / 2, bottom) }) {
        if (image.pixelColor(edge) != swatch_outline) {
            return false;
        }
    }
    return image.pixelColor(right / 2, bottom / 2) == colour;
}

QString theme_file(const char* name)
{
    return QString(TINTWELL_TEST_DATA) + "/" + name;
}

} // namespace

Q_DECLARE_METATYPE(Closing)

class PanelsTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    RecordingPrompter m_prompter;
    FixedDialogs m_dialogs;

    std::unique_ptr<MainWindow> open_window()
    {
        auto window = std::make_unique<MainWindow>(QString(), m_dir->filePath("tintwell.dat"));
        window->set_prompter(&m_prompter);
        window->files().set_file_dialogs(&m_dialogs);
        window->panel().set_element_chooser([](Document&) { return ElementSelection {}; });
        window->show();
        window->files().loadole(theme_file("ui_car_zumo.kmtf"));
        m_dialogs.path = theme_file("ui_compare_other.kmtf");
        return window;
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_prompter = RecordingPrompter();
    }

    // Every panel opens from the View menu, is checked there while shown, and closes from
    // itself (its button, Escape while it has the focus), from the View menu, and from its
    // menu-bar item; closed, it opens again from the View menu.
    void panelsCloseFromThemselvesAndFollowTheViewMenu_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("panel");
        QTest::addColumn<Closing>("closing");
        const std::array<std::pair<const char*, const char*>, 4> panels = { {
            { "history", "history_window" },
            { "view_check_theme", "check_panel" },
            { "view_colours", "colours_panel" },
            { "view_compare", "compare" },
        } };
        for (const auto& [item, panel] : panels) {
            for (const auto& [how, closing] : { std::pair("button", Closing::Button),
                     std::pair("escape", Closing::Escape), std::pair("view", Closing::ViewItem) }) {
                QTest::newRow(qPrintable(QString("%1 %2").arg(panel, how)))
                    << item << panel << closing;
            }
        }
        QTest::newRow("check_panel menu bar") << "view_check_theme"
                                              << "check_panel" << Closing::MenuBarItem;
        QTest::newRow("colours_panel menu bar") << "view_colours"
                                                << "colours_panel" << Closing::MenuBarItem;
    }

    void panelsCloseFromThemselvesAndFollowTheViewMenu()
    {
        QFETCH(QString, item);
        QFETCH(QString, panel);
        QFETCH(Closing, closing);
        auto window = open_window();
        auto* view = child<QMenu>(*window, "mview");
        auto* toggle = child<QAction>(*window, item);
        QVERIFY(view->actions().contains(toggle));
        // The View menu stands between Edit and Preference.
        const QList<QAction*> menus = window->menuBar()->actions();
        QCOMPARE(menus.indexOf(view->menuAction()),
            menus.indexOf(child<QMenu>(*window, "medit")->menuAction()) + 1);

        for (int round = 0; round < 2; ++round) {
            QVERIFY(!toggle->isChecked());
            toggle->trigger();
            auto* shown = child<QWidget>(*window, panel);
            QVERIFY(shown->isVisible());
            QVERIFY(toggle->isChecked());
            QPointer<QWidget> guard(shown);
            switch (closing) {
            case Closing::Button:
                QTest::mouseClick(child<QPushButton>(shown, "close"), Qt::LeftButton);
                break;
            case Closing::Escape:
                shown->activateWindow();
                QVERIFY(QTest::qWaitForWindowActive(shown));
                QTest::keyClick(
                    shown->focusWidget() ? shown->focusWidget() : shown, Qt::Key_Escape);
                break;
            case Closing::ViewItem:
                toggle->trigger();
                break;
            case Closing::MenuBarItem:
                child<QAction>(*window, panel == "check_panel" ? "check_theme" : "colours")
                    ->trigger();
                break;
            }
            QVERIFY(guard.isNull() || !guard->isVisible());
            QVERIFY(!toggle->isChecked());
            // A compare window is gone once closed.
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QCOMPARE(guard.isNull(), panel == "compare");
            // The main window stays as it was: the panel only went.
            QVERIFY(window->isVisible());
            QCOMPARE(window->history().count(), 0);
        }
        QVERIFY(m_prompter.messages.empty());
    }

    // A white swatch shows on the light panels: the Colours panel's list and the editor's
    // palette draw each swatch inside an outline.
    void swatchesHaveAnOutline()
    {
        auto window = open_window();
        child<QAction>(*window, "colours")->trigger();
        auto* panel = child<ColoursPanel>(*window, "colours_panel");
        const auto* model = child<QTableView>(panel, "colour_list")->model();
        int white_line = -1;
        for (std::size_t line = 0; line < panel->colours().size(); ++line) {
            const QColor colour = to_qcolor(panel->colours()[line].colour);
            const auto icon =
                model->index(static_cast<int>(line), 0).data(Qt::DecorationRole).value<QPixmap>();
            QVERIFY(outlined(icon.toImage(), colour));
            white_line = colour == Qt::white ? static_cast<int>(line) : white_line;
        }
        QVERIFY(white_line >= 0);

        PaletteGrid palette(nullptr);
        palette.show();
        int white_blocks = 0;
        for (int i = 0; i < 256 && palette.findChild<QLabel*>(QString("Labc_%1").arg(i)); ++i) {
            QLabel* block = palette.block(i);
            const QColor colour = block->palette().color(QPalette::Window);
            QVERIFY(outlined(block->grab().toImage(), colour));
            white_blocks += colour == Qt::white;
        }
        QVERIFY(white_blocks > 0);
    }

    // Escape in the main window closes no panel; the menu-bar items open as well as close.
    void menuBarItemsToggleAndEscapeStaysWithTheWindowThatHasIt()
    {
        auto window = open_window();
        for (const auto& [item, panel] :
            { std::pair("check_theme", "check_panel"), std::pair("colours", "colours_panel") }) {
            child<QAction>(*window, item)->trigger();
            auto* shown = child<QWidget>(*window, panel);
            QVERIFY(shown->isVisible());
            window->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(window.get()));
            QTest::keyClick(window.get(), Qt::Key_Escape);
            QVERIFY(shown->isVisible());
            child<QAction>(*window, item)->trigger();
            QVERIFY(!shown->isVisible());
        }
    }
};

TINTWELL_QTEST_MAIN(PanelsTest)

#include "panels_test.moc"
