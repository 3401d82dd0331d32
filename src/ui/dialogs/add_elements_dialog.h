#pragma once

#include "model/add_element.h"
#include "model/document.h"

#include <QDialog>

#include <array>

class QCheckBox;
class QLabel;
class QListWidget;

namespace tintwell {

class OwnerDrawnButton;

/// "Add Elements": the user picks a presentation (Car & Zumo only) and lines and polygons of the
/// catalogue. "Add" checks the choice against the document (messages through its prompter) and
/// closes with the selection for add_element; "Cancel" closes with an empty one.
class AddElementsDialog : public QDialog
{
    Q_OBJECT
public:
    AddElementsDialog(Document& doc, QWidget* parent = nullptr);

    /// The chosen entries; empty after Cancel or while the dialog is open.
    const ElementSelection& selection() const { return m_selection; }

    void Check1_Click(int index);
    void command1_Click(int index);

    QListWidget* List1;
    QListWidget* List2;
    QListWidget* List3;
    std::array<QCheckBox*, 2> Check1;
    std::array<OwnerDrawnButton*, 2> command1;
    QLabel* Label1;

private:
    Document& m_doc;
    ElementSelection m_selection;
};

} // namespace tintwell
