#include "ui/common/message_box_prompter.h"

#include <QKeyEvent>
#include <QMessageBox>
#include <QStringDecoder>

namespace tintwell {

QString to_qstring(std::string_view text)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString decoded = utf8(QByteArrayView(text.data(), static_cast<qsizetype>(text.size())));
    if (!utf8.hasError()) {
        return decoded;
    }
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

namespace {

QString box_title()
{
    return QStringLiteral("Tintwell");
}

// Keeps a Yes/No question open until Yes or No is pressed. Without it Escape and closing the box
// answer No, and No to "Save Current file?" goes on and drops the unsaved changes.
class AnswerRequired : public QObject
{
protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Close) {
            event->ignore();
            return true;
        }
        return event->type() == QEvent::KeyPress
            && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape;
    }
};

} // namespace

void MessageBoxPrompter::message(std::string_view text)
{
    QMessageBox::information(m_parent, box_title(), to_qstring(text));
}

bool MessageBoxPrompter::ask_yes_no(std::string_view text)
{
    QMessageBox box(QMessageBox::Question, box_title(), to_qstring(text),
        QMessageBox::Yes | QMessageBox::No, m_parent);
    box.setDefaultButton(QMessageBox::Yes);
    box.setWindowFlag(Qt::WindowCloseButtonHint, false);
    AnswerRequired answer_required;
    box.installEventFilter(&answer_required);
    return box.exec() == QMessageBox::Yes;
}

YesNoCancel MessageBoxPrompter::ask_yes_no_cancel(std::string_view text)
{
    const auto answer = QMessageBox::question(m_parent, box_title(), to_qstring(text),
        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes);
    if (answer == QMessageBox::Yes) {
        return YesNoCancel::Yes;
    }
    return answer == QMessageBox::No ? YesNoCancel::No : YesNoCancel::Cancel;
}

} // namespace tintwell
