#pragma once

#include "model/document.h"
#include "model/document_edit.h"
#include "ui/common/dialog_button.h"

#include <QDialog>

class QFrame;
class QListWidget;
class QPushButton;

namespace tintwell {

class OwnerDrawnButton;

/// What the presentation dialog does: add presentations or remove them.
enum class PresentationMode { Add, Remove };

/// The buttons that move a presentation between the lists; each value is its `Command2_`
/// number: "--> ADD", "<-- REMOVE" out of the adding list, "<-- REMOVE" on the remove page.
enum class ListMove { Add = 0, TakeBack = 1, Remove = 3 };

/// `presentation`: adds presentations to the open Car & Zumo theme, copying every row under
/// each new name, or removes them. Nothing changes until Apply, which hands one
/// edit to the edit sink; its messages go through the document's prompter and leave the dialog
/// open.
class PresentationDialog : public QDialog
{
    Q_OBJECT
public:
    /// Apply hands its edit to `sink`; without one it is applied to `doc` at once.
    PresentationDialog(
        Document& doc, PresentationMode pres_mode, QWidget* parent = nullptr, EditSink sink = {});

    void Form_Load();
    void Command2_Click(ListMove move);
    void command1_Click(DialogButton button);
    /// The pointer over the dialog itself: both buttons lose their hover look.

protected:
private:
    Document& m_doc;
    PresentationMode m_mode;
    EditSink m_sink;

    // Controls; their object names are the design's.
    QFrame* m_add_page;
    QListWidget* m_catalogue_list;
    /// The theme's presentations on the add page; on the remove page, hidden, the presentations
    /// chosen for removal.
    QListWidget* m_project_list;
    QListWidget* m_adding_list;
    QFrame* m_remove_page;
    QListWidget* m_remove_list;
    QPushButton* m_add_button;
    QPushButton* m_take_back_button;
    QPushButton* m_remove_button;
    OwnerDrawnButton* m_cancel_button;
    OwnerDrawnButton* m_apply_button;
};

} // namespace tintwell
