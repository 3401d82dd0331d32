#include "ui/dialogs/presentation_dialog.h"

#include "model/presentations.h"
#include "ui/common/latin1.h"
#include "ui/common/owner_drawn_button.h"
#include "ui/common/twips.h"

#include <QFrame>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <algorithm>
#include <optional>

namespace tintwell {

namespace {

std::vector<std::string> entries(const QListWidget* list)
{
    std::vector<std::string> out;
    for (int i = 0; i < list->count(); ++i) {
        out.push_back(to_latin1(list->item(i)->text()));
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

PresentationDialog::PresentationDialog(
    Document& doc, PresentationMode pres_mode, QWidget* parent, EditSink sink)
    : QDialog(parent)
    , m_doc(doc)
    , m_mode(pres_mode)
    , m_sink(sink ? std::move(sink) : apply_to(doc))
{
    setObjectName("presentation");
    setWindowTitle("Add & Remove Presentations");
    setFixedSize(px(9850), px(7620));

    m_add_page = new QFrame(this);
    m_add_page->setObjectName("Frame1");
    m_add_page->setGeometry(tw_rect(108, 84, 9576, 6636));
    heading("AVAILABLE", m_add_page, "Label2", tw_rect(960, 3180, 1344, 228));
    heading("YOUR PROJECT", m_add_page, "Label1", tw_rect(4044, 216, 1344, 228));
    heading("ADDING", m_add_page, "Label3", tw_rect(7044, 3180, 1344, 228));

    QFont arial("Arial");
    arial.setPointSize(10);
    const auto make_list = [&](QWidget* owner, const char* name, QRect place) {
        auto* list = new QListWidget(owner);
        list->setObjectName(name);
        list->setGeometry(place);
        list->setFont(arial);
        return list;
    };
    m_catalogue_list = make_list(m_add_page, "List1", tw_rect(336, 3492, 2784, 2532));
    m_catalogue_list->setStyleSheet("QListWidget { background-color: rgb(224, 224, 224); }");
    m_project_list = make_list(m_add_page, "List2", tw_rect(3324, 468, 2784, 2532));
    m_adding_list = make_list(m_add_page, "List3", tw_rect(6360, 3492, 2784, 2532));

    m_add_button = new QPushButton("--> ADD", m_add_page);
    m_add_button->setGeometry(tw_rect(3360, 4656, 1236, 300));
    m_take_back_button = new QPushButton("<-- REMOVE", m_add_page);
    m_take_back_button->setGeometry(tw_rect(4812, 4656, 1380, 300));

    m_remove_page = new QFrame(this);
    m_remove_page->setObjectName("Frame2");
    m_remove_page->setGeometry(tw_rect(336, 204, 9576, 6636));
    m_remove_list = make_list(m_remove_page, "List4", tw_rect(5292, 2772, 2784, 2532));
    // The remove page names its list as the add page does.
    heading("YOUR PROJECT", m_remove_page, "remove_heading", tw_rect(6012, 2520, 1344, 228));
    m_remove_button = new QPushButton("<-- REMOVE", m_remove_page);
    m_remove_button->setGeometry(tw_rect(3108, 3792, 1440, 408));

    const std::pair<ListMove, QPushButton*> moves[] = { { ListMove::Add, m_add_button },
        { ListMove::TakeBack, m_take_back_button }, { ListMove::Remove, m_remove_button } };
    for (const auto& [move, button] : moves) {
        button->setObjectName(QString("Command2_%1").arg(static_cast<int>(move)));
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, [this, move = move] { Command2_Click(move); });
    }

    for (int i = 0; i < 2; ++i) {
        auto* button = new OwnerDrawnButton(i == 0 ? "Cancel" : "Apply", this);
        button->setObjectName(QString("command1_%1").arg(i));
        button->setGeometry(tw_rect(i == 0 ? 6345 : 7995, 6975, 1188, 420));
        const DialogButton role = i == 0 ? DialogButton::Cancel : DialogButton::Apply;
        connect(button, &OwnerDrawnButton::clicked, this, [this, role] { command1_Click(role); });
        (i == 0 ? m_cancel_button : m_apply_button) = button;
    }
    setMouseTracking(true);
    reset_looks_on_move(*this, { m_cancel_button, m_apply_button });
    Form_Load();
}

void PresentationDialog::Form_Load()
{
    if (parentWidget()) {
        setWindowIcon(parentWidget()->windowIcon());
    }
    m_cancel_button->draw_button("Cancel", ButtonLook::Normal);
    m_apply_button->draw_button("Apply", ButtonLook::Normal);
    for (const auto& name : pres_catalogue) {
        m_catalogue_list->addItem(from_latin1(name));
    }
    m_remove_page->move(m_add_page->pos());

    m_doc.pres_names = presentations_in_rows(m_doc);
    m_doc.pres_count = static_cast<int>(m_doc.pres_names.size());
    const bool adding = m_mode == PresentationMode::Add;
    QListWidget* project = adding ? m_project_list : m_remove_list;
    for (const auto& name : m_doc.pres_names) {
        project->addItem(from_latin1(name).trimmed());
    }
    m_add_page->setVisible(adding);
    m_remove_page->setVisible(!adding);
    // Focus starts on the page's button: a list that took it first would show its first entry
    // as current, which looks chosen but is not.
    (adding ? m_add_button : m_remove_button)->setFocus();
}

void PresentationDialog::Command2_Click(ListMove move)
{
    if (move == ListMove::Add) {
        const QListWidgetItem* chosen = m_catalogue_list->currentItem();
        const std::string sel =
            chosen && chosen->isSelected() ? to_latin1(chosen->text()) : std::string();
        const std::string error =
            add_choice_error(sel, entries(m_project_list), entries(m_adding_list));
        if (!error.empty()) {
            m_doc.message(error);
            return;
        }
        m_catalogue_list->clearSelection();
        m_adding_list->addItem(from_latin1(sel));
        m_adding_list->setCurrentRow(m_adding_list->count() - 1);
    } else if (move == ListMove::TakeBack) {
        if (m_adding_list->selectedItems().isEmpty()) {
            m_doc.message("Please select");
            return;
        }
        delete m_adding_list->takeItem(m_adding_list->row(m_adding_list->selectedItems().first()));
    } else if (move == ListMove::Remove) {
        if (m_remove_list->selectedItems().isEmpty()) {
            m_doc.message("Please select");
            return;
        }
        if (m_remove_list->count() == 1) {
            m_doc.message(last_presentation_message);
            return;
        }
        QListWidgetItem* chosen = m_remove_list->selectedItems().first();
        m_project_list->addItem(chosen->text());
        delete m_remove_list->takeItem(m_remove_list->row(chosen));
    }
}

void PresentationDialog::command1_Click(DialogButton button)
{
    if (button == DialogButton::Cancel) {
        reject();
        return;
    }
    if (m_mode == PresentationMode::Add) {
        if (m_adding_list->count() == 0) {
            m_doc.message("Please click ADD");
            return;
        }
        const auto names = entries(m_adding_list);
        m_sink(add_presentations_edit(m_doc, names),
            names.size() == 1 ? "Add Presentation" : "Add Presentations");
        accept();
        return;
    }
    const auto names = entries(m_project_list);
    std::optional<DocumentEdit> removal = remove_presentations_edit(m_doc, names);
    if (!removal) {
        m_doc.message(last_presentation_message);
        return;
    }
    m_sink(std::move(*removal), names.size() == 1 ? "Remove Presentation" : "Remove Presentations");
    accept();
}

} // namespace tintwell
