#pragma once

#include "model/document.h"

#include <QDialog>
#include <array>

class QFrame;
class QLabel;
class QListWidget;
class QPushButton;

namespace tintwell {

class OwnerDrawnButton;

/// `presentation`: adds presentations to the open Car & Zumo theme (mode 0), copying every row
/// under each new name, or removes them (mode 1). Nothing changes until Apply; its messages go
/// through the document's prompter and leave the dialog open.
class PresentationDialog : public QDialog
{
    Q_OBJECT
public:
    /// `pres_mode`: 0 adds, 1 removes.
    PresentationDialog(Document& doc, int pres_mode, QWidget* parent = nullptr);

    void Form_Load();
    /// 0 "--> ADD", 1 "<-- REMOVE" out of the adding list, 3 "<-- REMOVE" on the remove page.
    void Command2_Click(int index);
    /// 0 Cancel, 1 Apply.
    void command1_Click(int index);
    /// The pointer over the dialog itself: both buttons lose their hover look.
    void Form_MouseMove();

    QFrame* Frame1;
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QListWidget* List1;
    QListWidget* List2;
    QListWidget* List3;
    QFrame* Frame2;
    QListWidget* List4;
    /// Items 0, 1 and 3; item 2 does not exist.
    std::array<QPushButton*, 4> Command2 {};
    std::array<OwnerDrawnButton*, 2> command1 {};

protected:
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    Document& m_doc;
    int m_mode;
};

} // namespace tintwell
