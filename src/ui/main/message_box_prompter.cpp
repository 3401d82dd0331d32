#include "ui/main/message_box_prompter.h"

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

QString box_title() { return QStringLiteral("Tintwell"); }

} // namespace

void MessageBoxPrompter::message(std::string_view text)
{
    QMessageBox::information(m_parent, box_title(), to_qstring(text));
}

bool MessageBoxPrompter::ask_yes_no(std::string_view text)
{
    return QMessageBox::question(m_parent, box_title(), to_qstring(text),
               QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes)
        == QMessageBox::Yes;
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
