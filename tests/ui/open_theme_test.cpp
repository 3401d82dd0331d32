// The open theme's history decides what the windows see: whether the theme has unsaved
// changes, which steps there are, and what Undo, Redo or a cancelled dialog tell the windows.
#include "model/document_edit.h"
#include "ui/theme/open_theme.h"

#include <QSignalSpy>
#include <QTest>
#include <QUndoStack>
#include <algorithm>
#include <string>
#include <vector>

using namespace tintwell;

namespace {

StyleRow row_named(const std::string& field, const std::string& day)
{
    StyleRow r;
    r.set_pres_name("GUIDANCE");
    r.set_field_name(field);
    r.set_pri_day(day);
    return r;
}

// One thing a window does to the open theme.
enum class Act {
    Recolour, // an edit of row 0, pushed as a step
    Undo,
    Redo,
    Save,
    OwnChangeInScope, // a dialog rebuilt the presentation list, then was cancelled
    EditInScope, // a dialog made an edit, with an own change of the window before it
    TypeA, // typing "A" into the title, first visit to the field
    TypeAB, // typing "AB", same visit
    TypeBackInFirstRun, // the title typed back to what it was, same visit
    TypeC, // typing "C", a second visit
    CloseTheme, // no open theme: typing makes no step
    WriteModified, // something sets `modified` by hand, as the dialogs once did
};

} // namespace

Q_DECLARE_METATYPE(std::vector<Act>)

class OpenThemeTest : public QObject
{
    Q_OBJECT

private:
    static void perform(OpenTheme& theme, Act act)
    {
        Document& doc = theme.document();
        const auto title = [&](const std::string& text, int run) {
            ThemeMetadata metadata = doc.metadata;
            metadata.title = text;
            theme.push_typing(metadata_edit(doc, metadata), "Change Title",
                TypingRun { run, MetadataBox::Title });
        };
        const auto recolour = [&](const char* day) {
            DocumentEdit edit;
            edit.replace_row(0, doc.rows[0], row_named("A", day));
            return edit;
        };
        switch (act) {
        case Act::Recolour:
            theme.push_edit(recolour("111111"), "Apply A");
            break;
        case Act::Undo:
            theme.history().undo();
            break;
        case Act::Redo:
            theme.history().redo();
            break;
        case Act::Save:
            theme.mark_saved();
            break;
        case Act::OwnChangeInScope: {
            const OpenTheme::StepScope step(theme);
            DocumentEdit rebuild;
            PresentationList after = presentation_list(doc);
            after.names.push_back("TRAFFIC");
            after.count = static_cast<int>(after.names.size());
            rebuild.set_presentations(presentation_list(doc), after);
            rebuild.apply(doc);
            theme.own_change_made(std::move(rebuild));
            break;
        }
        case Act::EditInScope: {
            const OpenTheme::StepScope step(theme);
            DocumentEdit own = recolour("222222");
            own.apply(doc);
            theme.own_change_made(std::move(own));
            theme.push_edit(recolour("333333"), "Apply A");
            break;
        }
        case Act::TypeA:
            title("A", 1);
            break;
        case Act::TypeAB:
            title("AB", 1);
            break;
        case Act::TypeBackInFirstRun:
            title("START", 1);
            break;
        case Act::TypeC:
            title("C", 2);
            break;
        case Act::CloseTheme:
            doc.theme_open = false;
            break;
        case Act::WriteModified:
            doc.modified = true;
            theme.follow_history();
            break;
        }
    }

private slots:
    void historyDecidesWhatTheWindowsSee_data()
    {
        QTest::addColumn<std::vector<Act>>("acts");
        QTest::addColumn<int>("steps");
        QTest::addColumn<bool>("modified");
        QTest::addColumn<QString>("row_day");
        QTest::addColumn<int>("rows_signals");
        QTest::addColumn<int>("presentation_signals");
        using A = Act;
        // A push is drawn by the one who pushed; only Undo, Redo and dropped steps signal.
        QTest::newRow("an edit") << std::vector<Act> { A::Recolour } << 1 << true << "111111" << 0
                                 << 0;
        QTest::newRow("undone") << std::vector<Act> { A::Recolour, A::Undo } << 1 << false
                                << "000000" << 1 << 0;
        QTest::newRow("undone past the save") << std::vector<Act> { A::Recolour, A::Save, A::Undo }
                                              << 1 << true << "000000" << 1 << 0;
        QTest::newRow("redone up to the save")
            << std::vector<Act> { A::Recolour, A::Save, A::Undo, A::Redo } << 1 << false << "111111"
            << 2 << 0;
        QTest::newRow("cancelled dialog takes its own changes back")
            << std::vector<Act> { A::OwnChangeInScope } << 0 << false << "000000" << 0 << 1;
        QTest::newRow("dialog's edit and own change are one step")
            << std::vector<Act> { A::EditInScope } << 1 << true << "333333" << 0 << 0;
        QTest::newRow("and one Undo takes both back")
            << std::vector<Act> { A::EditInScope, A::Undo } << 1 << false << "000000" << 1 << 0;
        QTest::newRow("typing in one visit is one step")
            << std::vector<Act> { A::TypeA, A::TypeAB } << 1 << true << "000000" << 0 << 0;
        QTest::newRow("a second visit is a step of its own")
            << std::vector<Act> { A::TypeA, A::TypeC } << 2 << true << "000000" << 0 << 0;
        QTest::newRow("typed back to where it was: no step")
            << std::vector<Act> { A::TypeA, A::TypeBackInFirstRun } << 0 << false << "000000" << 0
            << 0;
        QTest::newRow("without a theme typing makes no step")
            << std::vector<Act> { A::CloseTheme, A::TypeA } << 0 << false << "000000" << 0 << 0;
        QTest::newRow("modified written by hand follows the history again")
            << std::vector<Act> { A::WriteModified } << 0 << false << "000000" << 0 << 0;
    }

    void historyDecidesWhatTheWindowsSee()
    {
        QFETCH(std::vector<Act>, acts);
        OpenTheme theme;
        Document& doc = theme.document();
        doc.theme_open = true;
        doc.metadata.title = "START";
        doc.rows = { row_named("A", "000000") };
        doc.pres_names = { "GUIDANCE" };
        doc.pres_count = 1;
        const PresentationList presentations = presentation_list(doc);
        QSignalSpy rows(&theme, &OpenTheme::rows_changed);
        QSignalSpy listed(&theme, &OpenTheme::presentations_changed);
        QSignalSpy marks(&theme, &OpenTheme::modified_changed);

        for (const Act act : acts) {
            perform(theme, act);
        }

        QTEST(theme.history().count(), "steps");
        QTEST(doc.modified, "modified");
        QTEST(QString::fromStdString(std::string(doc.rows[0].pri_day())), "row_day");
        QTEST(static_cast<int>(rows.count()), "rows_signals");
        QTEST(static_cast<int>(listed.count()), "presentation_signals");
        // The window's mark is told every value `modified` takes, the last one included.
        if (!marks.isEmpty()) {
            QCOMPARE(marks.constLast().at(0).toBool(), doc.modified);
        }
        if (std::find(acts.begin(), acts.end(), Act::OwnChangeInScope) != acts.end()) {
            QCOMPARE(presentation_list(doc), presentations);
        }
    }
};

QTEST_MAIN(OpenThemeTest)
#include "open_theme_test.moc"
