#pragma once

#include <QFrame>
#include <QStringList>

class QLabel;
class QToolButton;

namespace tintwell {

/// A bar across the top of the widget it is made in, saying what the user should know about the
/// open file (that saving it would change it) until the user closes it or another file is
/// opened. It follows its parent's width.
class NoticeBar : public QFrame
{
    Q_OBJECT

public:
    explicit NoticeBar(QWidget* parent);

    /// Shows the lines, one per notice; no lines hides the bar.
    void show_notices(const QStringList& lines);
    QString text() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void fit_to_parent();

    QLabel* m_text;
    QToolButton* m_close;
};

} // namespace tintwell
