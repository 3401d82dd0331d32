#include "ui/dialogs/presentation_dialog.h"

#include "model/presentations.h"
#include "ui/main/owner_drawn_button.h"
#include "ui/main/twips.h"

#include <QFrame>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <algorithm>

namespace tintwell {

namespace {

std::vector<std::string> entries(const QListWidget* list)
{
    std::vector<std::string> out;
    for (int i = 0; i < list->count(); ++i) {
        out.push_back(list->item(i)->text().toLatin1().toStdString());
    }
    return out;
}

QLabel* heading(const QString& text, QWidget* parent, const char* name, QRect place)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setGeometry(place);
    label->setAlignment(Qt::AlignCenter);
    return label;
}

} // namespace

PresentationDialog::PresentationDialog(Document& doc, int pres_mode, QWidget* parent)
    : QDialog(parent)
    , m_doc(doc)
    , m_mode(pres_mode)
{
    setObjectName("presentation");
    setWindowTitle("Add & Remove Presentations");
    setFixedSize(px(9850), px(7620));

    Frame1 = new QFrame(this);
    Frame1->setObjectName("Frame1");
    Frame1->setGeometry(tw_rect(108, 84, 9576, 6636));
    Label2 = heading("AVAILABLE", Frame1, "Label2", tw_rect(960, 3180, 1344, 228));
    Label1 = heading("YOUR PROJECT", Frame1, "Label1", tw_rect(4044, 216, 1344, 228));
    Label3 = heading("ADDING", Frame1, "Label3", tw_rect(7044, 3180, 1344, 228));

    QFont arial("Arial");
    arial.setPointSize(10);
    const auto make_list = [&](QWidget* owner, const char* name, QRect place) {
        auto* list = new QListWidget(owner);
        list->setObjectName(name);
        list->setGeometry(place);
        list->setFont(arial);
        return list;
    };
    List1 = make_list(Frame1, "List1", tw_rect(336, 3492, 2784, 2532));
    List1->setStyleSheet("QListWidget { background-color: rgb(224, 224, 224); }");
    List2 = make_list(Frame1, "List2", tw_rect(3324, 468, 2784, 2532));
    List3 = make_list(Frame1, "List3", tw_rect(6360, 3492, 2784, 2532));

    Command2[0] = new QPushButton("--> ADD", Frame1);
    Command2[0]->setGeometry(tw_rect(3360, 4656, 1236, 300));
    Command2[1] = new QPushButton("<-- REMOVE", Frame1);
    Command2[1]->setGeometry(tw_rect(4812, 4656, 1380, 300));

    Frame2 = new QFrame(this);
    Frame2->setObjectName("Frame2");
    Frame2->setGeometry(tw_rect(336, 204, 9576, 6636));
    List4 = make_list(Frame2, "List4", tw_rect(5292, 2772, 2784, 2532));
    // The remove page names its list as the add page does.
    heading("YOUR PROJECT", Frame2, "remove_heading", tw_rect(6012, 2520, 1344, 228));
    Command2[3] = new QPushButton("<-- REMOVE", Frame2);
    Command2[3]->setGeometry(tw_rect(3108, 3792, 1440, 408));

    for (int i : { 0, 1, 3 }) {
        Command2[static_cast<std::size_t>(i)]->setObjectName(QString("Command2_%1").arg(i));
        Command2[static_cast<std::size_t>(i)]->setAutoDefault(false);
        connect(Command2[static_cast<std::size_t>(i)], &QPushButton::clicked, this,
            [this, i] { Command2_Click(i); });
    }

    for (int i = 0; i < 2; ++i) {
        command1[static_cast<std::size_t>(i)] =
            new OwnerDrawnButton(i == 0 ? "Cancel" : "Apply", this);
        command1[static_cast<std::size_t>(i)]->setObjectName(QString("command1_%1").arg(i));
        command1[static_cast<std::size_t>(i)]->setGeometry(
            tw_rect(i == 0 ? 6345 : 7995, 6975, 1188, 420));
        connect(command1[static_cast<std::size_t>(i)], &OwnerDrawnButton::clicked, this,
            [this, i] { command1_Click(i); });
    }
    setMouseTracking(true);
    Form_Load();
}

void PresentationDialog::Form_Load()
{
    if (parentWidget()) {
        setWindowIcon(parentWidget()->windowIcon());
    }
    command1[0]->draw_button("Cancel", 0);
    command1[1]->draw_button("Apply", 0);
    for (const auto& name : pres_catalogue) {
        List1->addItem(QString::fromLatin1(name));
    }
    Frame2->move(Frame1->pos());

    m_doc.pres_names = presentations_in_rows(m_doc);
    m_doc.pres_count = static_cast<int>(m_doc.pres_names.size());
    QListWidget* project = m_mode != 0 ? List4 : List2;
    for (const auto& name : m_doc.pres_names) {
        project->addItem(QString::fromLatin1(name).trimmed());
    }
    Frame1->setVisible(m_mode == 0);
    Frame2->setVisible(m_mode == 1);
    // Focus starts on the page's button: a list that took it first would show its first entry
    // as current, which looks chosen but is not.
    Command2[m_mode == 0 ? 0 : 3]->setFocus();
}

void PresentationDialog::Command2_Click(int index)
{
    if (index == 0) {
        const QListWidgetItem* chosen = List1->currentItem();
        const std::string sel = chosen && chosen->isSelected()
            ? chosen->text().toLatin1().toStdString()
            : std::string();
        const std::string error = add_choice_error(sel, entries(List2), entries(List3));
        if (!error.empty()) {
            m_doc.message(error);
            return;
        }
        List1->clearSelection();
        List3->addItem(QString::fromLatin1(sel));
        List3->setCurrentRow(List3->count() - 1);
    } else if (index == 1) {
        if (List3->selectedItems().isEmpty()) {
            m_doc.message("Please select");
            return;
        }
        delete List3->takeItem(List3->row(List3->selectedItems().first()));
    } else if (index == 3) {
        if (List4->selectedItems().isEmpty()) {
            m_doc.message("Please select");
            return;
        }
        if (List4->count() == 1) {
            m_doc.message(last_presentation_message);
            return;
        }
        QListWidgetItem* chosen = List4->selectedItems().first();
        List2->addItem(chosen->text());
        delete List4->takeItem(List4->row(chosen));
    }
}

void PresentationDialog::command1_Click(int index)
{
    if (index == 0) {
        reject();
        return;
    }
    if (m_mode == 0) {
        if (List3->count() == 0) {
            m_doc.message("Please click ADD");
            return;
        }
        add_presentations(m_doc, entries(List3));
    } else if (!remove_presentations(m_doc, entries(List2))) {
        m_doc.message(last_presentation_message);
        return;
    }
    m_doc.modified = true;
    accept();
}

void PresentationDialog::Form_MouseMove()
{
    for (OwnerDrawnButton* button : command1) {
        button->draw_button(QString(), 0);
    }
}

void PresentationDialog::mouseMoveEvent(QMouseEvent* event)
{
    Form_MouseMove();
    QDialog::mouseMoveEvent(event);
}

} // namespace tintwell
