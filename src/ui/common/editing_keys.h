#pragma once

#include <QKeyEvent>

namespace tintwell {

/// Keys a text box that filters what is typed still leaves to the toolkit: Select All and Copy,
/// which change nothing, and Escape, which goes on to the dialog and closes it as Cancel.
inline bool is_editing_key(const QKeyEvent& key)
{
    return key.key() == Qt::Key_Escape || key.matches(QKeySequence::SelectAll)
        || key.matches(QKeySequence::Copy);
}

} // namespace tintwell
