#pragma once

#include "model/document.h"
#include "model/document_edit.h"

#include <QDialog>

class QFrame;
class QListWidget;
class QPushButton;

namespace tintwell {

class OwnerDrawnButton;

/// `presentation`: adds presentations to the open Car & Zumo theme (mode 0), copying every row
/// under each new name, or removes them (mode 1). Nothing changes until Apply, which hands one
/// edit to the edit sink; its messages go through the document's prompter and leave the dialog
/// open.
class PresentationDialog : public QDialog
{
    Q_OBJECT
public:
    /// `pres_mode`: 0 adds, 1 removes. Apply hands its edit to `sink`; without one it is applied
    /// to `doc` at once.
    PresentationDialog(Document& doc, int pres_mode, QWidget* parent = nullptr, EditSink sink = {});

    void Form_Load();
    /// 0 "--> ADD", 1 "<-- REMOVE" out of the adding list, 3 "<-- REMOVE" on the remove page.
    void Command2_Click(int index);
    /// 0 Cancel, 1 Apply.
    void command1_Click(int index);
    /// The pointer over the dialog itself: both buttons lose their hover look.
    void Form_MouseMove();

protected:
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    Document& m_doc;
    int m_mode;
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
