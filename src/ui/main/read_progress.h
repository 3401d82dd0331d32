#pragma once

#include "model/reader.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <chrono>

class QProgressDialog;
class QWidget;

namespace tintwell {

/// How long a theme is read before the progress dialog shows.
inline constexpr std::chrono::milliseconds read_progress_delay { 500 };

/// "Reading FILE..." with a bar and Cancel, window-modal over `window`, for one reading of a
/// theme: it shows only once reading has gone on for `delay` (or promises to), and goes away
/// with this object. While it lives, `window` is not repainted, since it holds a theme read
/// half-way.
class ReadProgressDialog
{
public:
    ReadProgressDialog(QWidget* window, const QString& path,
        std::chrono::milliseconds delay = read_progress_delay);
    ~ReadProgressDialog();
    ReadProgressDialog(const ReadProgressDialog&) = delete;
    ReadProgressDialog& operator=(const ReadProgressDialog&) = delete;

    /// For open_theme: moves the bar, lets the dialog take a click on Cancel once it shows, and
    /// answers false once Cancel was pressed.
    ReadProgress callback();
    /// Whether Cancel stopped the reading.
    bool cancelled() const { return m_cancelled; }

private:
    QPointer<QWidget> m_window;
    QPointer<QProgressDialog> m_dialog;
    bool m_window_updates;
    bool m_cancelled = false;
};

/// Hands the memory a rejected or stopped reading freed back to the system, which the C library
/// would otherwise keep for the process; nothing where the library cannot.
void release_freed_memory();

} // namespace tintwell
