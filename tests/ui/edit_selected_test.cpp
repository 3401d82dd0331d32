// Edit Selected Styles and Paste Colours on several selected styles, through the real window:
// the change saved gives the same bytes as `tintwell --edit` with the same change, one Undo gives
// back every byte, a value out of range is refused naming the style, and a paste reaches every
// selected style in one step.
#include "analysis/style_batch_edit.h"
#include "app/batch.h"
#include "model/prompter.h"
#include "qt_test_support.h"
#include "ui/common/file_dialogs.h"
#include "ui/common/preview_widget.h"
#include "ui/dialogs/dialog_menus.h"
#include "ui/dialogs/edit_selected_dialog.h"
#include "ui/main/file_commands.h"
#include "ui/main/main_window.h"
#include "ui/main/preview_navigator.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QUndoStack>
#include <functional>
#include <map>
#include <memory>
#include <sstream>

using namespace tintwell;

namespace {

QByteArray bytes_of(const QString& path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

// Runs `answer` on the modal dialog that the next call shows.
void on_dialog(std::function<void(QWidget*)> answer)
{
    QTimer::singleShot(0, [answer] { answer(QApplication::activeModalWidget()); });
}

// Sets one change on the dialog as `--set` writes it: "day=lighter:10", "border=0.8",
// "night=#1E90FF".
void set_in_dialog(QWidget& dialog, const QString& change)
{
    const QString property = change.section('=', 0, 0).replace('-', '_');
    const QString value = change.section('=', 1);
    const QString form = value.contains(':') ? value.section(':', 0, 0) : "set";
    const std::map<QString, int> index = { { "set", 0 }, { "lighter", 1 }, { "darker", 2 },
        { "saturate", 3 }, { "desaturate", 4 }, { "hue", 5 }, { "times", 1 }, { "plus", 1 } };
    child<QComboBox>(dialog, property + "_operation")->setCurrentIndex(index.at(form));
    if (value.startsWith('#')) {
        auto* hex = child<QLineEdit>(dialog, property + "_hex");
        hex->clear();
        QTest::keyClicks(hex, value.mid(1));
    } else {
        child<QDoubleSpinBox>(dialog, property + "_amount")
            ->setValue(value.section(':', -1).toDouble());
    }
    child<QCheckBox>(dialog, property)->setChecked(true);
}

// Answers every Save dialog with a new file of the folder.
class SaveDialogs : public FileDialogs
{
public:
    QString folder;
    int saves = 0;
    QString last;

    QString open_path(QWidget*, const QString&, const QString&) override { return {}; }
    QString save_path(QWidget*, const QString&, const QString&, const QString&) override
    {
        last = folder + QString("/saved_%1.kmtf").arg(++saves);
        return last;
    }
};

} // namespace

class EditSelectedTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    RecordingPrompter m_prompter;
    SaveDialogs m_dialogs;

    // A copy of a test theme, opened in a shown window.
    std::unique_ptr<MainWindow> opened(const QString& theme, QString& path)
    {
        path = m_dir->filePath(theme);
        QFile::copy(QString(TINTWELL_TEST_DATA) + "/" + theme, path);
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
        auto window =
            std::make_unique<MainWindow>(QString(), m_dir->filePath("system/tintwell.dat"));
        window->set_prompter(&m_prompter);
        window->files().set_file_dialogs(&m_dialogs);
        connect_dialog_menus(*window);
        window->resize(900, 700);
        window->show();
        window->files().loadole(path);
        return window;
    }

    // The theme as File, Save writes it now.
    QByteArray saved(MainWindow& window, const QString&)
    {
        window.files().mf_Click(FileCommand::Save);
        return bytes_of(m_dialogs.last);
    }

    // Every style the filter text keeps, selected, and the dialog on them answered by `answer`.
    static void edit_selected(
        MainWindow& window, const QString& selector, std::function<void(QWidget*)> answer)
    {
        window.set_filter_text(selector);
        child<QAction>(window, "select_all")->trigger();
        on_dialog(std::move(answer));
        child<QAction>(window, "edit_selected")->trigger();
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QDir().mkpath(m_dir->filePath("system"));
        m_prompter = RecordingPrompter();
        m_dialogs = SaveDialogs();
        m_dialogs.folder = m_dir->path();
    }

    void sameBytesAsTheCommandLineAndOneUndo_data()
    {
        QTest::addColumn<QString>("theme");
        QTest::addColumn<QString>("selector");
        QTest::addColumn<QStringList>("changes");
        QTest::addColumn<int>("styles");
        QTest::addColumn<int>("selected");

        // Lines, areas and a border on mixed Car & Zumo styles: each takes what it has.
        QTest::newRow("lighter day, scale multiplied")
            << "ui_car_zumo.kmtf"
            << "MAP" << QStringList { "day=lighter:10", "scale=times:1.2" } << 5 << 5;
        QTest::newRow("border colour and border set")
            << "ui_car_zumo.kmtf"
            << "ROAD" << QStringList { "border-night=#102030", "border=0.8", "night=darker:5" } << 2
            << 2;
        QTest::newRow("hue and saturation")
            << "ui_car_zumo.kmtf"
            << "WATER" << QStringList { "day=hue:40", "night=desaturate:20" } << 2 << 2;
        // Only the style with widths takes the widths; the trail's grey night keeps its hue, so
        // the trail does not change.
        QTest::newRow("widths changed and set")
            << "ui_sport_fitness.kmtf"
            << "MPM" << QStringList { "bg-width=plus:2", "fg-width=3", "night=hue:30" } << 2 << 3;
    }

    void sameBytesAsTheCommandLineAndOneUndo()
    {
        QFETCH(QString, theme);
        QFETCH(QString, selector);
        QFETCH(QStringList, changes);
        QFETCH(int, styles);
        QFETCH(int, selected);
        QString path;
        auto window = opened(theme, path);
        const QByteArray unchanged = saved(*window, path);
        const QString original = path;
        const int steps = window->history().count();

        QString message;
        edit_selected(*window, selector, [&](QWidget* dialog) {
            for (const QString& change : changes) {
                set_in_dialog(*dialog, change);
            }
            message = child<QLabel>(dialog, "message")->text();
            child<QDialogButtonBox>(dialog, "buttons")->button(QDialogButtonBox::Ok)->click();
        });
        QCOMPARE(message, QString("%1 of %2 styles will change").arg(styles).arg(selected));
        QCOMPARE(window->history().count(), steps + 1);
        QCOMPARE(window->history().undoText(), QString("Edit %1 styles").arg(styles));
        const QByteArray edited = saved(*window, path);
        QVERIFY(edited != unchanged);

        std::vector<std::string> args = { "--edit", original.toStdString(),
            m_dir->filePath("out.kmtf").toStdString(), "--select", selector.toStdString() };
        for (const QString& change : changes) {
            args.push_back("--set");
            args.push_back(change.toStdString());
        }
        std::ostringstream out;
        std::ostringstream err;
        QCOMPARE(run_batch(args, out, err), 0);
        QCOMPARE(bytes_of(m_dir->filePath("out.kmtf")), edited);

        window->history().undo();
        QCOMPARE(saved(*window, path), unchanged);
    }

    // A value out of range for one selected style refuses the change naming that style, and
    // nothing changes.
    void outOfRangeIsRefusedNamingTheStyle()
    {
        QString path;
        auto window = opened("ui_car_zumo.kmtf", path);
        const QByteArray unchanged = saved(*window, path);
        const int steps = window->history().count();
        int road = -1;
        for (int row = 0; row < window->document().row_count(); ++row) {
            if (window->document().rows[std::size_t(row)].field_name() == "MAP_ROAD_HWY_MJR") {
                road = row;
            }
        }
        const QString road_name = QString::fromStdString(style_label(window->document(), road));
        QString message;
        bool ok_enabled = true;
        edit_selected(*window, "MAP", [&](QWidget* dialog) {
            // 1.5 × 2 = 3 is above 2.5 for the major road only.
            set_in_dialog(*dialog, "scale=times:2");
            message = child<QLabel>(dialog, "message")->text();
            auto* ok = child<QDialogButtonBox>(dialog, "buttons")->button(QDialogButtonBox::Ok);
            ok_enabled = ok->isEnabled();
            static_cast<QDialog*>(dialog)->accept();
            if (dialog->isVisible()) {
                static_cast<QDialog*>(dialog)->reject();
            }
        });
        QVERIFY2(message.contains(road_name), qPrintable(message));
        QVERIFY(!ok_enabled);
        QCOMPARE(window->history().count(), steps);
        QCOMPARE(saved(*window, path), unchanged);
    }

    // Paste Colours of the code pop-up reaches every selected style, as one step.
    void pasteReachesEverySelectedStyle()
    {
        QString path;
        auto window = opened("ui_car_zumo.kmtf", path);
        const QByteArray unchanged = saved(*window, path);
        const Document& doc = window->document();
        window->p1_MouseDown(0, Qt::LeftButton, QPoint());
        window->action(CodeCommand::CopyColours)->trigger();
        const std::string day(doc.rows[0].pri_day());
        window->select_rows({ 2, 3, 4 }, 3);
        window->action(CodeCommand::PasteColours)->trigger();
        QCOMPARE(window->history().undoText(), QString("Paste Colours onto 3 styles"));
        for (const int row : { 2, 3, 4 }) {
            QCOMPARE(std::string(doc.rows[std::size_t(row)].pri_day()), day);
        }
        window->history().undo();
        QCOMPARE(saved(*window, path), unchanged);
    }
};

TINTWELL_QTEST_MAIN(EditSelectedTest)
#include "edit_selected_test.moc"
