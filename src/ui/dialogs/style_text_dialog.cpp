#include "ui/dialogs/style_text_dialog.h"

#include "model/style_code.h"
#include "model/text.h"
#include "ui/common/latin1.h"
#include "ui/common/owner_drawn_button.h"
#include "ui/common/twips.h"

#include <QMouseEvent>
#include <QPlainTextEdit>
#include <algorithm>

namespace tintwell {

StyleTextDialog::StyleTextDialog(Document& doc, int row, QWidget* parent, EditSink sink)
    : QDialog(parent)
    , m_doc(doc)
    , m_row(row)
    , m_sink(sink ? std::move(sink) : apply_to(doc))
{
    setObjectName("editcode");
    setWindowTitle("Edit Text");
    setFixedSize(px(10050), px(4900));

    m_text_box = new QPlainTextEdit(this);
    m_text_box->setObjectName("Text1");
    m_text_box->setGeometry(tw_rect(60, 168, 9852, 3804));
    QFont courier("Courier");
    courier.setStyleHint(QFont::Monospace);
    courier.setPointSize(10);
    m_text_box->setFont(courier);
    // A style read from a Sport & Fitness theme is one long line; wrapping keeps all of it in
    // view. Only the display wraps: the text keeps its own line breaks.
    m_text_box->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    m_text_box->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);

    for (int i = 0; i < 2; ++i) {
        auto* button = new OwnerDrawnButton(i == 0 ? "Cancel" : "Apply", this);
        (i == 0 ? m_cancel_button : m_apply_button) = button;
        button->setObjectName(QString("command1_%1").arg(i));
        button->setGeometry(tw_rect(i == 0 ? 6750 : 8280, i == 0 ? 4260 : 4230, 1188, 420));
        const DialogButton role = i == 0 ? DialogButton::Cancel : DialogButton::Apply;
        connect(button, &OwnerDrawnButton::clicked, this, [this, role] { command1_Click(role); });
    }
    setMouseTracking(true);
    reset_looks_on_move(*this, { m_cancel_button, m_apply_button });
    Form_Load();
}

void StyleTextDialog::Form_Load()
{
    if (parentWidget()) {
        setWindowIcon(parentWidget()->windowIcon());
    }
    const std::string style = m_doc.valid_row(m_row)
        ? std::string(m_doc.rows[static_cast<std::size_t>(m_row)].style_text())
        : std::string();
    m_crlf = text::contains(style, "\r\n");
    m_text_box->setPlainText(from_latin1("<STYLE " + style));
    m_cancel_button->draw_button("Cancel", ButtonLook::Normal);
    m_apply_button->draw_button("Apply", ButtonLook::Normal);
}

void StyleTextDialog::command1_Click(DialogButton button)
{
    if (button == DialogButton::Cancel) {
        reject();
        return;
    }
    // The text box keeps lines apart with LF only; a style read from a file goes back with the
    // CR LF line breaks it came with.
    std::string edited = to_latin1(m_text_box->toPlainText());
    if (m_crlf) {
        edited = text::replace(edited, "\n", "\r\n");
    }
    EditOutcome outcome = pcode_edit(m_doc, m_row, edited);
    if (!outcome.message.empty()) {
        m_doc.message("Error:\r\n\r\n" + outcome.message);
        return;
    }
    if (outcome.edit) {
        m_sink(std::move(*outcome.edit),
            "Edit Text " + std::string(m_doc.rows[static_cast<std::size_t>(m_row)].elem_name()));
    }
    accept();
}

} // namespace tintwell
