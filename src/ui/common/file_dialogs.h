#pragma once

#include <QString>

class QWidget;

namespace tintwell {

/// The Open and Save dialogs. Each returns the chosen path, or an empty text on cancel.
class FileDialogs
{
public:
    virtual ~FileDialogs() = default;
    /// `filter` in Qt's form ("Garmin Themes (*.kmtf)"); starts in the folder of `initial`.
    virtual QString open_path(QWidget* owner, const QString& initial, const QString& filter) = 0;
    /// Starts with `default_name` filled in.
    virtual QString save_path(QWidget* owner, const QString& initial, const QString& default_name,
        const QString& filter) = 0;
};

/// Qt's own file dialogs, titled "Open File" and "Save File".
class QtFileDialogs : public FileDialogs
{
public:
    QString open_path(QWidget* owner, const QString& initial, const QString& filter) override;
    QString save_path(QWidget* owner, const QString& initial, const QString& default_name,
        const QString& filter) override;
};

} // namespace tintwell
