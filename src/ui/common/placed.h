#pragma once

#include <QRect>
#include <QString>
#include <QWidget>
#include <utility>

namespace tintwell {

/// A control made, named and placed (pixels) as designed; `args` come before its parent.
template <typename Control, typename... Args>
Control* placed(QWidget* parent, const QString& name, QRect place, Args&&... args)
{
    auto* control = new Control(std::forward<Args>(args)..., parent);
    control->setObjectName(name);
    control->setGeometry(place);
    return control;
}

} // namespace tintwell
