#include "model/prompter.h"
#include "qt_test_support.h"
#include "ui/common/file_dialogs.h"
#include "ui/main/file_commands.h"
#include "ui/main/main_window.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <filesystem>
#include <memory>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

using namespace tintwell;

namespace {

// Answers every Open dialog with the next path.
class PathDialogs : public FileDialogs
{
public:
    QStringList paths;

    QString open_path(QWidget*, const QString&, const QString&) override
    {
        return paths.isEmpty() ? QString() : paths.takeFirst();
    }
    QString save_path(QWidget*, const QString&, const QString&, const QString&) override
    {
        return {};
    }
};

// A Car & Zumo theme of `styles` styles, several megabytes: the reader tells of it many times.
QByteArray large_theme(int styles)
{
    QByteArray text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<GARMIN_MAP_THEME>\r\n"
                      "<METADATA>\r\n<TITLE>Large</TITLE>\r\n<DESCRIPTION>d</DESCRIPTION>\r\n"
                      "</METADATA>\r\n<PRESENTATION ID=\"BROWSE\" >\r\n<STYLELIST>\r\n";
    for (int i = 0; i < styles; ++i) {
        text += "<STYLE field=\"MAP_AREA_" + QByteArray::number(i)
            + "\" scale=\"1\">\r\n <COLOR>\r\n<PRIMARY day=\"#1E90FF\" night=\"#000080\"/>\r\n"
              " </COLOR>\r\n</STYLE>\r\n";
    }
    return text + "</STYLELIST>\r\n</PRESENTATION>\r\n</GARMIN_MAP_THEME>\r\n";
}

// Bytes the program holds from the heap, mapped blocks included; 0 where it cannot be known.
std::size_t heap_in_use()
{
#if defined(__GLIBC__)
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
#else
    return 0;
#endif
}

// What opening another file must leave of the open theme.
struct Kept
{
    std::vector<StyleRow> rows;
    ThemeMetadata metadata;
    ThemeKind kind;
    bool modified;
    std::string file_name;
    QString caption;
    RecentFiles recent;

    explicit Kept(MainWindow& window)
        : rows(window.document().rows)
        , metadata(window.document().metadata)
        , kind(window.document().kind)
        , modified(window.document().modified)
        , file_name(window.document().file_name)
        , caption(window.windowTitle())
        , recent(window.files().recent())
    {
    }
    bool operator==(const Kept&) const = default;
};

} // namespace

class ReadProgressTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    RecordingPrompter m_prompter;
    PathDialogs m_dialogs;

    std::unique_ptr<MainWindow> make_window()
    {
        auto window =
            std::make_unique<MainWindow>(QString(), m_dir->filePath("system/tintwell.dat"));
        window->set_prompter(&m_prompter);
        window->files().set_file_dialogs(&m_dialogs);
        return window;
    }

    // File, Open answered with `path`.
    void open(MainWindow& window, const QString& path)
    {
        m_dialogs.paths << path;
        child<QAction>(window, "mf_3")->trigger();
    }

    QString copy_of(const char* name)
    {
        const QString path = m_dir->filePath(name);
        QFile::copy(QString(TINTWELL_TEST_DATA) + "/" + name, path);
        QFile(path).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
        return path;
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QDir().mkpath(m_dir->filePath("system"));
        m_prompter = RecordingPrompter();
        m_dialogs = PathDialogs();
    }

    // Cancel pressed while the table is being made: the theme open before stays with its name,
    // caption, unsaved changes and recent files, nothing is said, and the memory the reading took
    // is given back. The file is no worse a theme for it, so it stays in the recent files.
    void cancelKeepsTheOpenTheme()
    {
        constexpr int styles = 60000;
        const QString large = m_dir->filePath("large.kmtf");
        QFile file(large);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(large_theme(styles));
        file.close();

        auto window = make_window();
        window->files().set_read_progress_delay(std::chrono::milliseconds(0));
        window->show();
        open(*window, large);
        QCOMPARE(window->document().row_count(), styles);
        QVERIFY(!window->findChild<QProgressDialog*>());
        open(*window, copy_of("ui_sport_fitness.kmtf"));
        // An unsaved change of the theme kept, made as a user makes one.
        QTest::keyClicks(child<QLineEdit>(*window, "title"), " 2");
        QVERIFY(window->document().modified);
        const Kept before(*window);
        QCOMPARE(QString::fromStdString(before.recent[1]), large);
        m_prompter.messages.clear();

        QString label;
        int cancelled_at = -1;
        QTimer poll;
        poll.setInterval(0);
        connect(&poll, &QTimer::timeout, this, [&] {
            auto* dialog = window->findChild<QProgressDialog*>("read_progress");
            if (dialog != nullptr && dialog->isVisible() && dialog->value() >= 500) {
                poll.stop();
                label = dialog->labelText();
                cancelled_at = dialog->value();
                QTest::mouseClick(dialog->findChild<QPushButton*>(), Qt::LeftButton);
            }
        });
        poll.start();
        const std::size_t held = heap_in_use();
        open(*window, large);
        const std::size_t held_after = heap_in_use();
        poll.stop();

        QCOMPARE(label, "Reading " + large + "...");
        QVERIFY2(
            cancelled_at >= 500 && cancelled_at < 1000, qPrintable(QString::number(cancelled_at)));
        QVERIFY(Kept(*window) == before);
        QCOMPARE(window->document().kind, ThemeKind::SportFitness);
        QCOMPARE(child<QLineEdit>(*window, "title")->text(),
            QString::fromStdString(before.metadata.title));
        QVERIFY(m_prompter.messages.empty());
        QVERIFY(!window->findChild<QProgressDialog*>());
        QVERIFY(window->updatesEnabled());
        // The text alone is several megabytes, the table it was becoming more.
        QVERIFY2(held_after < held + (1 << 20),
            qPrintable(QString("%1 bytes held before, %2 after").arg(held).arg(held_after)));

        // Closing still asks about the unsaved changes of the theme kept.
        m_prompter.yes_no_cancel_answers = { YesNoCancel::Cancel };
        QVERIFY(!window->close());
        QCOMPARE(m_prompter.questions.back(), std::string("Save file?"));
    }

    // A file past the largest theme read is refused before anything is read, with its size.
    void oversizedFileIsRefusedAndTheOpenThemeKept()
    {
        const QString huge = m_dir->filePath("huge.kmtf");
        QFile(huge).open(QIODevice::WriteOnly);
        std::filesystem::resize_file(QFile::encodeName(huge).toStdString(), 300u << 20);

        auto window = make_window();
        open(*window, copy_of("ui_car_zumo.kmtf"));
        const Kept before(*window);
        m_prompter.messages.clear();
        open(*window, huge);
        QCOMPARE(m_prompter.messages,
            std::vector<std::string> {
                (huge + " is 300 MB; themes larger than 256 MB are not read").toStdString() });
        QVERIFY(Kept(*window) == before);
        QCOMPARE(window->document().row_count(), 5);
    }
};

TINTWELL_QTEST_MAIN(ReadProgressTest)

#include "read_progress_test.moc"
