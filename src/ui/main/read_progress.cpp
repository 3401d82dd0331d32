#include "ui/main/read_progress.h"

#include <QProgressDialog>
#include <QWidget>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace tintwell {

namespace {

constexpr int bar_steps = 1000;

} // namespace

ReadProgressDialog::ReadProgressDialog(
    QWidget* window, const QString& path, std::chrono::milliseconds delay)
    : m_window(window)
    , m_window_updates(window->updatesEnabled())
{
    auto* dialog =
        new QProgressDialog("Reading " + path + "...", "Cancel", 0, bar_steps, window, Qt::Dialog);
    m_dialog = dialog;
    dialog->setObjectName("read_progress");
    dialog->setWindowTitle("Tintwell");
    dialog->setWindowModality(Qt::WindowModal);
    dialog->setMinimumDuration(static_cast<int>(delay.count()));
    dialog->setAutoReset(false);
    dialog->setAutoClose(false);
    QObject::connect(dialog, &QProgressDialog::canceled, dialog, [this] { m_cancelled = true; });
    // Starts the clock the delay is counted from.
    dialog->setValue(0);
    // The window's theme changes under it while it is read, and goes back when reading stops.
    window->setUpdatesEnabled(false);
}

ReadProgressDialog::~ReadProgressDialog()
{
    delete m_dialog;
    if (m_window != nullptr) {
        m_window->setUpdatesEnabled(m_window_updates);
    }
}

ReadProgress ReadProgressDialog::callback()
{
    return [this](double fraction) {
        if (m_dialog != nullptr && !m_cancelled) {
            // A modal dialog, once shown, takes the events waiting (the click on Cancel) here.
            m_dialog->setValue(static_cast<int>(fraction * bar_steps));
        }
        return !m_cancelled;
    };
}

void release_freed_memory()
{
#if defined(__GLIBC__)
    malloc_trim(0);
#endif
}

} // namespace tintwell
