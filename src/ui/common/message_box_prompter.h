#pragma once

#include "model/prompter.h"

#include <QString>

class QWidget;

namespace tintwell {

/// Single-byte text of the core as a QString: UTF-8 when it is valid UTF-8 (paths), otherwise
/// Latin-1.
QString to_qstring(std::string_view text);

/// Asks and tells the user with modal message boxes owned by `parent`.
class MessageBoxPrompter : public Prompter
{
public:
    explicit MessageBoxPrompter(QWidget* parent)
        : m_parent(parent)
    {
    }
    void message(std::string_view text) override;
    bool ask_yes_no(std::string_view text) override;
    YesNoCancel ask_yes_no_cancel(std::string_view text) override;

private:
    QWidget* m_parent;
};

} // namespace tintwell
