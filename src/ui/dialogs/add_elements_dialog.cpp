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

    Label1 = new QLabel(" 1) Click on a Presentation\n\n2) Select polygon(s) or line(s)\n\n3) "
                        "(Shift/CTRL)click to select more than one.",
        this);
    Label1->setObjectName("Label1");
    Label1->setGeometry(tw_rect(120, 120, 2700, 1800));
    Label1->setWordWrap(true);
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    List3 = new QListWidget(this);
    List3->setObjectName("List3");
    List3->setGeometry(tw_rect(120, 2040, 2700, 2400));
    List3->setStyleSheet("QListWidget { background-color: rgb(222, 247, 255); }");

    List1 = new QListWidget(this);
    List1->setObjectName("List1");
    List1->setGeometry(tw_rect(3000, 120, 2880, 5400));
    List2 = new QListWidget(this);
    List2->setObjectName("List2");
    List2->setGeometry(tw_rect(6000, 120, 2880, 5400));
    for (QListWidget* list : { List1, List2 }) {
        list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    }

    for (int i = 0; i < 2; ++i) {
        Check1[i] = new QCheckBox("Select All", this);
        Check1[i]->setObjectName(QString("Check1_%1").arg(i));
        Check1[i]->setGeometry(tw_rect(i == 0 ? 3000 : 6000, 5580, 2000, 300));
        connect(Check1[i], &QCheckBox::clicked, this, [this, i] { Check1_Click(i); });
    }

    command1[0] = new OwnerDrawnButton("Cancel", this);
    command1[1] = new OwnerDrawnButton("Add", this);
    for (int i = 0; i < 2; ++i) {
        command1[i]->setObjectName(QString("command1_%1").arg(i));
        command1[i]->setGeometry(tw_rect(i == 0 ? 240 : 1560, 5400, 1188, 420));
        command1[i]->draw_button(i == 0 ? "Cancel" : "Add", ButtonLook::Normal);
        connect(command1[i], &OwnerDrawnButton::clicked, this, [this, i] { command1_Click(i); });
    }

    // The dialog itself holds the focus when it opens: a list holding it would show its first
    // item framed like a choice that was never made.
    setFocusPolicy(Qt::StrongFocus);
    setFocus();

    fill(List1, line_list_items(doc.kind));
    fill(List2, polygon_list_items(doc.kind));
    if (doc.kind == ThemeKind::CarZumo) {
        for (const std::string& name : pres_catalogue) {
            List3->addItem(from_latin1(name));
        }
    }
}

void AddElementsDialog::Check1_Click(int index)
{
    QListWidget* list = index == 0 ? List1 : List2;
    const bool all = Check1[static_cast<std::size_t>(index)]->isChecked();
    for (int i = 0; i < list->count(); ++i) {
        list->item(i)->setSelected(all);
    }
}

void AddElementsDialog::command1_Click(int index)
{
    m_selection = {};
    if (index == 0) {
        reject();
        return;
    }
    ElementChoice choice;
    choice.pres_index = List3->currentRow();
    if (List3->currentItem() && !List3->currentItem()->isSelected()) {
        choice.pres_index = -1;
    }
    choice.line_items = selected_items(List1);
    choice.polygon_items = selected_items(List2);
    bool keep_open = true;
    ElementSelection chosen = newelement_add(m_doc, choice, keep_open);
    if (keep_open) {
        return;
    }
    m_selection = std::move(chosen);
    accept();
}

} // namespace tintwell
