#include "ui/common/file_dialogs.h"

#include <QFileDialog>
#include <QFileInfo>

namespace tintwell {

namespace {

QString folder_of(const QString& path)
{
    const QFileInfo info(path);
    return info.isAbsolute() ? info.absolutePath() : QString();
}

QString run(QFileDialog& dialog)
{
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    return dialog.selectedFiles().constFirst().trimmed();
}

} // namespace

QString QtFileDialogs::open_path(QWidget* owner, const QString& initial, const QString& filter)
{
    QFileDialog dialog(owner, "Open File", folder_of(initial), filter);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    return run(dialog);
}

QString QtFileDialogs::save_path(
    QWidget* owner, const QString& initial, const QString& default_name, const QString& filter)
{
    QFileDialog dialog(owner, "Save File", folder_of(initial), filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    // The overwrite question is the program's own.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.selectFile(QFileInfo(default_name).fileName());
    return run(dialog);
}

} // namespace tintwell
