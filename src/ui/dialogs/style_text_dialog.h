#pragma once

#include "model/document.h"
#include "model/document_edit.h"
#include "ui/common/dialog_button.h"

#include <QDialog>

class QPlainTextEdit;

namespace tintwell {

class OwnerDrawnButton;

/// `editcode`, "Edit Text": the raw text of one style. Apply reads scale, border and colours
/// back out of it and hands them with the text to the edit sink as one edit; a problem is shown
/// as "Error:" and the dialog stays open.
class StyleTextDialog : public QDialog
{
    Q_OBJECT
public:
    /// Apply hands its edit to `sink`; without one it is applied to `doc` at once.
    StyleTextDialog(Document& doc, int row, QWidget* parent = nullptr, EditSink sink = {});

    void Form_Load();
    void command1_Click(DialogButton button);
    /// The pointer over the dialog itself: both buttons lose their hover look.

protected:
private:
    Document& m_doc;
    int m_row;
    EditSink m_sink;
    bool m_crlf = false;

    // Controls; their object names are the design's.
    QPlainTextEdit* m_text_box;
    OwnerDrawnButton* m_cancel_button;
    OwnerDrawnButton* m_apply_button;
};

} // namespace tintwell
