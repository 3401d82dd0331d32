#pragma once

#include "model/add_element.h"
#include "model/document.h"
#include "ui/common/dialog_button.h"

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

private:
    /// The two lists of the catalogue, each with its "Select All" box.
    enum class CatalogueList { Lines, Polygons };

    void Check1_Click(CatalogueList list);
    void command1_Click(DialogButton button);
    QListWidget* list_of(CatalogueList list) const;

    Document& m_doc;
    ElementSelection m_selection;
    // Controls; each keeps its design name as its objectName.
    QLabel* m_steps_label; // Label1
    QListWidget* m_presentation_list; // List3
    QListWidget* m_line_list; // List1
    QListWidget* m_polygon_list; // List2
    std::array<QCheckBox*, 2> m_select_all_checks {}; // Check1_0, Check1_1
    OwnerDrawnButton* m_cancel_button; // command1_0
    OwnerDrawnButton* m_add_button; // command1_1
};

} // namespace tintwell
