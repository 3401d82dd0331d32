#include "ui/dialogs/dialog_menus.h"

#include "model/style_code.h"
#include "ui/common/latin1.h"
#include "ui/common/window_place.h"
#include "ui/dialogs/presentation_dialog.h"
#include "ui/dialogs/sport_style_dialog.h"
#include "ui/dialogs/style_text_dialog.h"
#include "ui/dialogs/updates_dialog.h"
#include "ui/dialogs/web_pages.h"
#include "ui/main/main_window.h"
#include "ui/main/preview_widget.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QScrollBar>

namespace tintwell {

namespace {

void redraw_keeping_scroll(MainWindow& window)
{
    const int v = window.vs->value();
    window.plot(v);
    window.vs->setValue(v);
}

} // namespace

void mcod2_Click(MainWindow& window, int index)
{
    Document& doc = window.document();
    const int row = doc.cur_row;
    if (!doc.valid_row(row)) {
        return;
    }
    if (index == 1) {
        QGuiApplication::clipboard()->clear();
        QGuiApplication::clipboard()->setText(
            from_latin1(doc.rows[static_cast<std::size_t>(row)].style_text));
        return;
    }
    EditOutcome outcome;
    if (index == 3) {
        const auto& poly_rows = window.preview()->preview().poly_rows();
        const bool polygon = static_cast<std::size_t>(row) < poly_rows.size()
            && poly_rows[static_cast<std::size_t>(row)] == 1;
        outcome = add_bg_fg_width_edit(doc, row, polygon);
    } else if (index == 4) {
        outcome = remove_bg_fg_width_edit(doc, row);
    }
    if (!outcome.message.empty()) {
        doc.message(outcome.message);
    }
    if (!outcome.edit) {
        return;
    }
    window.editors().edit_sink(doc)(
        std::move(*outcome.edit), index == 3 ? "Add BG/FG Width" : "Remove BG/FG Width");
    if (doc.valid_row(row)) {
        window.Text5->setPlainText(from_latin1(doc.rows[static_cast<std::size_t>(row)].style_text));
    }
    redraw_keeping_scroll(window);
}

void med_Click(MainWindow& window, int index)
{
    Document& doc = window.document();
    if (doc.row_count() == 0) {
        doc.message("No elements");
        return;
    }
    window.nosel();
    PresentationDialog dialog(doc, index, &window, window.editors().edit_sink(doc));
    cent(dialog);
    dialog.exec();
    window.plot(2);
    window.show_presentations();
}

void mhlp_Click(MainWindow& window, int index)
{
    if (index == 0) {
        UpdatesDialog dialog(&window);
        dialog.exec();
    } else if (index == 2) {
        open_manual();
    }
}

void connect_dialog_menus(MainWindow& window)
{
    for (int i : { 1, 3, 4 }) {
        QObject::connect(window.mcod2[static_cast<std::size_t>(i)], &QAction::triggered, &window,
            [&window, i] { mcod2_Click(window, i); });
    }
    for (int i : { 0, 1 }) {
        QObject::connect(window.med[static_cast<std::size_t>(i)], &QAction::triggered, &window,
            [&window, i] { med_Click(window, i); });
    }
    for (int i : { 0, 2 }) {
        QObject::connect(window.mhlp[static_cast<std::size_t>(i)], &QAction::triggered, &window,
            [&window, i] { mhlp_Click(window, i); });
    }

    EditorLauncher& editors = window.editors();
    editors.register_editor(
        EditorKind::StyleText, [&editors](QWidget* parent, Document& doc, int row) {
            const std::string before = doc.valid_row(row)
                ? doc.rows[static_cast<std::size_t>(row)].style_text
                : std::string();
            StyleTextDialog dialog(doc, row, parent, editors.edit_sink(doc));
            cent(dialog);
            return dialog.exec() == QDialog::Accepted && doc.valid_row(row)
                && doc.rows[static_cast<std::size_t>(row)].style_text != before;
        });
    editors.register_editor(
        EditorKind::SportFitness, [&editors](QWidget* parent, Document& doc, int row) {
            const QString caption = doc.valid_row(row)
                ? from_latin1(doc.rows[static_cast<std::size_t>(row)].elem_name)
                : QString();
            SportStyleDialog dialog(doc, row, caption, parent, editors.edit_sink(doc));
            cent(dialog);
            return dialog.exec() == QDialog::Accepted;
        });
    editors.register_editor(EditorKind::About, [](QWidget* parent, Document&, int) {
        AboutDialog dialog(parent);
        cent(dialog);
        dialog.exec();
        return false;
    });
}

} // namespace tintwell
