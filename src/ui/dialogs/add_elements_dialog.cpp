#include "ui/dialogs/add_elements_dialog.h"

#include "ui/common/latin1.h"
#include "ui/common/owner_drawn_button.h"
#include "ui/common/twips.h"

#include <QCheckBox>
#include <QLabel>
#include <QListWidget>

namespace tintwell {

namespace {

void fill(QListWidget* list, const std::vector<std::string>& items)
{
    for (const std::string& item : items) {
        list->addItem(from_latin1(item));
    }
}

std::vector<std::string> selected_items(const QListWidget* list)
{
    std::vector<std::string> items;
    for (int i = 0; i < list->count(); ++i) {
        if (list->item(i)->isSelected()) {
            items.push_back(to_latin1(list->item(i)->text()));
        }
    }
    return items;
}

} // namespace

AddElementsDialog::AddElementsDialog(Document& doc, QWidget* parent)
    : QDialog(parent)
    , m_doc(doc)
{
    setObjectName("newelement");
    setWindowTitle("Add Elements");
    if (parent) {
        setWindowIcon(parent->windowIcon());
    }
    setFixedSize(px(9000), px(6600));
    QFont arial("Arial");
    arial.setPointSize(9);
    setFont(arial);

    m_steps_label =
        new QLabel(" 1) Click on a Presentation\n\n2) Select polygon(s) or line(s)\n\n3) "
                   "(Shift/CTRL)click to select more than one.",
            this);
    m_steps_label->setObjectName("Label1");
    m_steps_label->setGeometry(tw_rect(120, 120, 2700, 1800));
    m_steps_label->setWordWrap(true);
    m_steps_label->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    m_presentation_list = new QListWidget(this);
    m_presentation_list->setObjectName("List3");
    m_presentation_list->setGeometry(tw_rect(120, 2040, 2700, 2400));
    m_presentation_list->setStyleSheet("QListWidget { background-color: rgb(222, 247, 255); }");

    m_line_list = new QListWidget(this);
    m_line_list->setObjectName("List1");
    m_line_list->setGeometry(tw_rect(3000, 120, 2880, 5400));
    m_polygon_list = new QListWidget(this);
    m_polygon_list->setObjectName("List2");
    m_polygon_list->setGeometry(tw_rect(6000, 120, 2880, 5400));
    for (QListWidget* list : { m_line_list, m_polygon_list }) {
        list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    }

    for (const CatalogueList list : { CatalogueList::Lines, CatalogueList::Polygons }) {
        const auto i = static_cast<std::size_t>(list);
        QCheckBox* check = new QCheckBox("Select All", this);
        m_select_all_checks[i] = check;
        check->setObjectName(QString("Check1_%1").arg(i));
        check->setGeometry(tw_rect(list == CatalogueList::Lines ? 3000 : 6000, 5580, 2000, 300));
        connect(check, &QCheckBox::clicked, this, [this, list] { Check1_Click(list); });
    }

    m_cancel_button = new OwnerDrawnButton("Cancel", this);
    m_cancel_button->setObjectName("command1_0");
    m_cancel_button->setGeometry(tw_rect(240, 5400, 1188, 420));
    m_cancel_button->draw_button("Cancel", ButtonLook::Normal);
    connect(m_cancel_button, &OwnerDrawnButton::clicked, this,
        [this] { command1_Click(DialogButton::Cancel); });
    m_add_button = new OwnerDrawnButton("Add", this);
    m_add_button->setObjectName("command1_1");
    m_add_button->setGeometry(tw_rect(1560, 5400, 1188, 420));
    m_add_button->draw_button("Add", ButtonLook::Normal);
    connect(m_add_button, &OwnerDrawnButton::clicked, this,
        [this] { command1_Click(DialogButton::Apply); });

    // The dialog itself holds the focus when it opens: a list holding it would show its first
    // item framed like a choice that was never made.
    setFocusPolicy(Qt::StrongFocus);
    setFocus();

    fill(m_line_list, line_list_items(doc.kind));
    fill(m_polygon_list, polygon_list_items(doc.kind));
    if (doc.kind == ThemeKind::CarZumo) {
        for (const std::string& name : pres_catalogue) {
            m_presentation_list->addItem(from_latin1(name));
        }
    }
}

QListWidget* AddElementsDialog::list_of(CatalogueList list) const
{
    return list == CatalogueList::Lines ? m_line_list : m_polygon_list;
}

void AddElementsDialog::Check1_Click(CatalogueList list)
{
    QListWidget* items = list_of(list);
    const bool all = m_select_all_checks[static_cast<std::size_t>(list)]->isChecked();
    for (int i = 0; i < items->count(); ++i) {
        items->item(i)->setSelected(all);
    }
}

void AddElementsDialog::command1_Click(DialogButton button)
{
    m_selection = {};
    if (button == DialogButton::Cancel) {
        reject();
        return;
    }
    ElementChoice choice;
    choice.pres_index = m_presentation_list->currentRow();
    if (m_presentation_list->currentItem() && !m_presentation_list->currentItem()->isSelected()) {
        choice.pres_index = -1;
    }
    choice.line_items = selected_items(m_line_list);
    choice.polygon_items = selected_items(m_polygon_list);
    bool keep_open = true;
    ElementSelection chosen = newelement_add(m_doc, choice, keep_open);
    if (keep_open) {
        return;
    }
    m_selection = std::move(chosen);
    accept();
}

} // namespace tintwell
