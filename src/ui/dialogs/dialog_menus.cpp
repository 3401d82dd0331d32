#include "ui/dialogs/dialog_menus.h"

#include "model/style_code.h"
#include "ui/common/latin1.h"
#include "ui/common/preview_widget.h"
#include "ui/common/window_place.h"
#include "ui/dialogs/presentation_dialog.h"
#include "ui/dialogs/sport_style_dialog.h"
#include "ui/dialogs/style_text_dialog.h"
#include "ui/dialogs/updates_dialog.h"
#include "ui/dialogs/web_pages.h"
#include "ui/theme/editor_launcher.h"
#include "ui/theme/theme_window.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QMainWindow>

namespace tintwell {

void mcod2_Click(ThemeWindow& window, CodeCommand command)
{
    Document& doc = window.document();
    const int row = doc.cur_row;
    if (!doc.valid_row(row)) {
        return;
    }
    if (command == CodeCommand::CopyCode) {
        QGuiApplication::clipboard()->clear();
        QGuiApplication::clipboard()->setText(
            from_latin1(doc.rows[static_cast<std::size_t>(row)].style_text()));
        return;
    }
    EditOutcome outcome;
    if (command == CodeCommand::AddWidth) {
        const auto& poly_rows = window.preview()->preview().poly_rows();
        const bool polygon = static_cast<std::size_t>(row) < poly_rows.size()
            && poly_rows[static_cast<std::size_t>(row)] == 1;
        outcome = add_bg_fg_width_edit(doc, row, polygon);
    } else if (command == CodeCommand::RemoveWidth) {
        outcome = remove_bg_fg_width_edit(doc, row);
    }
    if (!outcome.message.empty()) {
        doc.message(outcome.message);
    }
    if (!outcome.edit) {
        return;
    }
    window.editors().edit_sink(doc)(std::move(*outcome.edit),
        command == CodeCommand::AddWidth ? "Add BG/FG Width" : "Remove BG/FG Width");
    window.show_selected_code();
    window.redraw_keeping_scroll();
}

void med_Click(ThemeWindow& window, EditCommand command)
{
    Document& doc = window.document();
    if (doc.row_count() == 0) {
        doc.message("No elements");
        return;
    }
    window.nosel();
    // The list the dialog starts from is rebuilt from the rows inside the step, so undoing it
    // gives back the list as it was.
    const OpenTheme::StepScope step(window.theme());
    window.show_presentations();
    PresentationDialog dialog(doc,
        command == EditCommand::AddPresentations ? PresentationMode::Add : PresentationMode::Remove,
        &window.host(), window.editors().edit_sink(doc));
    cent(dialog);
    dialog.exec();
    window.plot(PlotMode::Fresh);
    window.show_presentations();
}

void mhlp_Click(ThemeWindow& window, HelpCommand command)
{
    if (command == HelpCommand::CheckForUpdates) {
        UpdatesDialog dialog(&window.host());
        dialog.exec();
    } else if (command == HelpCommand::Manual) {
        const ManualShown shown = open_manual();
        if (shown != ManualShown::Shown) {
            window.theme().document().message(manual_message(shown, manual_path()));
        }
    }
}

void connect_dialog_menus(ThemeWindow& window)
{
    for (CodeCommand command :
        { CodeCommand::CopyCode, CodeCommand::AddWidth, CodeCommand::RemoveWidth }) {
        QObject::connect(window.action(command), &QAction::triggered, &window.host(),
            [&window, command] { mcod2_Click(window, command); });
    }
    for (EditCommand command :
        { EditCommand::AddPresentations, EditCommand::RemovePresentations }) {
        QObject::connect(window.action(command), &QAction::triggered, &window.host(),
            [&window, command] { med_Click(window, command); });
    }
    for (HelpCommand command : { HelpCommand::CheckForUpdates, HelpCommand::Manual }) {
        QObject::connect(window.action(command), &QAction::triggered, &window.host(),
            [&window, command] { mhlp_Click(window, command); });
    }

    EditorLauncher& editors = window.editors();
    editors.register_editor(
        EditorKind::StyleText, [&editors](QWidget* parent, Document& doc, int row) {
            const std::string before = doc.valid_row(row)
                ? std::string(doc.rows[static_cast<std::size_t>(row)].style_text())
                : std::string();
            StyleTextDialog dialog(doc, row, parent, editors.edit_sink(doc));
            cent(dialog);
            return dialog.exec() == QDialog::Accepted && doc.valid_row(row)
                && doc.rows[static_cast<std::size_t>(row)].style_text() != before;
        });
    editors.register_editor(
        EditorKind::SportFitness, [&editors](QWidget* parent, Document& doc, int row) {
            const QString caption = doc.valid_row(row)
                ? from_latin1(doc.rows[static_cast<std::size_t>(row)].elem_name())
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
