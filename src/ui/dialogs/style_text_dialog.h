#pragma once

#include "model/document.h"

#include <QDialog>
#include <array>

class QPlainTextEdit;

namespace tintwell {

class OwnerDrawnButton;

/// `editcode`, "Edit Text": the raw text of one style. Apply reads scale, border and colours
/// back out of it and stores them with the text; a problem is shown as "Error:" and the dialog
/// stays open.
class StyleTextDialog : public QDialog
{
    Q_OBJECT
public:
    StyleTextDialog(Document& doc, int row, QWidget* parent = nullptr);

    void Form_Load();
    /// 0 Cancel, 1 Apply.
    void command1_Click(int index);
    /// The pointer over the dialog itself: both buttons lose their hover look.
    void Form_MouseMove();

    QPlainTextEdit* Text1;
    std::array<OwnerDrawnButton*, 2> command1 {};

protected:
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    Document& m_doc;
    int m_row;
    bool m_crlf = false;
};

} // namespace tintwell
