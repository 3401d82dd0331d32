// The column left of the preview: its controls, the typing in the metadata fields and the
// element search.
#include "ui/main/theme_panel.h"

#include "model/document_edit.h"
#include "model/text.h"
#include "ui/common/editing_keys.h"
#include "ui/common/latin1.h"
#include "ui/common/owner_drawn_button.h"
#include "ui/common/placed.h"
#include "ui/common/twips.h"
#include "ui/common/window_place.h"
#include "ui/dialogs/add_elements_dialog.h"
#include "ui/theme/open_theme.h"
#include "ui/theme/theme_window.h"

#include <QCheckBox>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <algorithm>
#include <array>

namespace tintwell {

namespace {

// Typed letters become capitals: a-z and the small letters of Latin-1 (not the division sign,
// and not the y with diaeresis, which has no Latin-1 capital). Everything else stays as typed.
QString upper_typed(const QString& typed)
{
    QString out = typed;
    for (QChar& c : out) {
        const char16_t code = c.unicode();
        if ((code >= u'a' && code <= u'z') || (code >= 0xE0 && code <= 0xFE && code != 0xF7)) {
            c = QChar(static_cast<char16_t>(code - 32));
        }
    }
    return out;
}

// The keys of Undo and Redo, which the theme's history takes even from a metadata field.
bool history_key(const QKeyEvent& key)
{
    return key.matches(QKeySequence::Undo) || key.matches(QKeySequence::Redo)
        || key.keyCombination() == QKeyCombination(Qt::CTRL, Qt::Key_Y)
        || key.keyCombination() == QKeyCombination(Qt::CTRL | Qt::SHIFT, Qt::Key_Z);
}

} // namespace

ThemePanel::ThemePanel(ThemeWindow& window, QWidget* central)
    : QObject(central)
    , m_window(window)
    , m_theme(window.theme())
{
    set_element_chooser(nullptr);
    build_metadata_fields(central);
    build_search(central);
    connect(m_add_elements_button, &QPushButton::clicked, this, &ThemePanel::Command2_Click);
    connect(m_show_code_check, &QCheckBox::clicked, this, &ThemePanel::show_code_clicked);
    connect(m_presentation_list, &QListWidget::itemPressed, this,
        [this](const QListWidgetItem* item) { emit presentation_pressed(item->text()); });
    connect(m_title_edit, &QLineEdit::textChanged, this,
        [this](const QString& text) { metadata_edited(MetadataBox::Title, text); });
    connect(m_description_edit, &QPlainTextEdit::textChanged, this,
        [this] { metadata_edited(MetadataBox::Description, m_description_edit->toPlainText()); });
    connect(m_locale_edit, &QLineEdit::textChanged, this,
        [this](const QString& text) { metadata_edited(MetadataBox::Locale, text); });
    connect(m_version_edit, &QLineEdit::textChanged, this,
        [this](const QString& text) { metadata_edited(MetadataBox::Version, text); });
    for (QWidget* field : std::initializer_list<QWidget*> {
             m_title_edit, m_description_edit, m_locale_edit, m_version_edit, m_search_edit }) {
        field->installEventFilter(this);
    }
}

void ThemePanel::build_metadata_fields(QWidget* central)
{
    m_add_elements_button =
        placed<QPushButton>(central, "Command2", tw_rect(468, 336, 372, 324), "+");
    placed<QLabel>(central, "Label1", tw_rect(984, 384, 1608, 312), "Add Line/Polygon");
    m_edit_text_check =
        placed<QCheckBox>(central, "Check1", tw_rect(744, 900, 1296, 324), "Edit Text");

    const std::array<const char*, 5> label_captions = { "Presentations", "Title", "Description",
        "Locality", "Version" };
    const std::array<QRect, 5> label_rects = { tw_rect(300, 1464, 2076, 312),
        tw_rect(300, 3360, 2076, 312), tw_rect(240, 4200, 2076, 312), tw_rect(240, 6120, 2076, 312),
        tw_rect(300, 7080, 2076, 312) };
    for (std::size_t i = 0; i < label_rects.size(); ++i) {
        placed<QLabel>(central, QString("Label2_%1").arg(i), label_rects[i], label_captions[i]);
    }
    m_presentation_list = placed<QListWidget>(central, "List1", tw_rect(168, 1860, 2316, 1368));
    m_presentation_list->setSelectionMode(QAbstractItemView::NoSelection);
    m_presentation_list->setFocusPolicy(Qt::NoFocus);

    m_title_edit = placed<QLineEdit>(central, "title", tw_rect(120, 3720, 2436, 396));
    m_description_edit = placed<QPlainTextEdit>(central, "Text3", tw_rect(120, 4560, 2436, 1356));
    m_description_edit->setTabChangesFocus(true);
    // Its typing is a step of the theme's history; a second history of its own would disagree.
    m_description_edit->setUndoRedoEnabled(false);
    m_locale_edit = placed<QLineEdit>(central, "Text1", tw_rect(120, 6480, 2436, 468));
    m_version_edit = placed<QLineEdit>(central, "Text2", tw_rect(696, 7560, 1272, 468));

    m_show_code_check =
        placed<QCheckBox>(central, "Check2", tw_rect(720, 8400, 1332, 252), "Show Code");
    auto* update_label =
        placed<QLabel>(central, "Label3", tw_rect(168, 8880, 2412, 312), "UPDATE AVAILABLE");
    update_label->setFont(QFont("MS Sans Serif", 8));
    update_label->hide();
}

void ThemePanel::build_search(QWidget* central)
{
    auto* search_frame = placed<QFrame>(central, "Shape1", tw_rect(240, 9360, 2052, 1092));
    search_frame->setFrameShape(QFrame::Box);
    search_frame->setLineWidth(1);
    m_search_edit = placed<QLineEdit>(central, "Text4", tw_rect(360, 9480, 1800, 336));
    m_search_edit->setStyleSheet("QLineEdit { background-color: white; }");
    m_search_button =
        placed<OwnerDrawnButton>(central, "command1", tw_rect(720, 9960, 1188, 360), "Search");
    m_search_button->draw_button("Search", ButtonLook::Normal);
    connect(m_search_button, &OwnerDrawnButton::clicked, this, &ThemePanel::command1_Click);
}

void ThemePanel::set_element_chooser(std::function<ElementSelection(Document&)> chooser)
{
    if (chooser) {
        m_choose_elements = std::move(chooser);
        return;
    }
    m_choose_elements = [this](Document& doc) {
        AddElementsDialog dialog(doc, &m_window.host());
        cent(dialog);
        dialog.exec();
        return dialog.selection();
    };
}

void ThemePanel::Command2_Click()
{
    Document& doc = m_theme.document();
    if (!doc.theme_open) {
        doc.message("Select New Theme type. File,New ...");
        return;
    }
    const OpenTheme::StepScope step(m_theme);
    const ElementSelection selection = m_choose_elements(doc);
    m_window.nosel();
    if (!selection.empty()) {
        m_theme.push_edit(add_element_edit(doc, selection), "Add Elements");
    }
    m_window.show_presentations();
    m_window.plot(PlotMode::Fresh);
}

bool ThemePanel::edit_text_checked() const
{
    return m_edit_text_check->isChecked();
}

void ThemePanel::show_metadata(const ThemeMetadata& metadata)
{
    // A field that already shows the value keeps its cursor: undoing or typing into another
    // field must not move it.
    const auto show = [](QLineEdit* field, const std::string& value) {
        const QString text = from_latin1(value);
        if (field->text() != text) {
            const QSignalBlocker block(field);
            field->setText(text);
        }
    };
    show(m_title_edit, metadata.title);
    show(m_locale_edit, metadata.locale);
    show(m_version_edit, metadata.version);
    const QString description = display_text(metadata.description);
    if (m_description_edit->toPlainText() != description) {
        const QSignalBlocker block(m_description_edit);
        m_description_edit->setPlainText(description);
    }
}

void ThemePanel::set_locale_version_enabled(bool enabled)
{
    m_locale_edit->setEnabled(enabled);
    m_version_edit->setEnabled(enabled);
}

void ThemePanel::focus_title()
{
    m_title_edit->setFocus();
}

void ThemePanel::list_presentations()
{
    const Document& doc = m_theme.document();
    // A Sport & Fitness theme keeps the entry its reader listed. A name as read may end in a CR,
    // which the list would show as a gap.
    if (doc.kind == ThemeKind::SportFitness) {
        return;
    }
    m_presentation_list->clear();
    const auto count = std::min<std::size_t>(
        doc.pres_names.size(), static_cast<std::size_t>(std::max(doc.pres_count, 0)));
    for (std::size_t j = 0; j < count; ++j) {
        m_presentation_list->addItem(from_latin1(doc.pres_names[j]).trimmed());
    }
}

void ThemePanel::metadata_edited(MetadataBox field, const QString& text)
{
    // The fields are filled with their signals blocked when a theme is read, saved or stepped
    // through, so only the user's edits get here.
    struct FieldStep
    {
        std::string ThemeMetadata::*value;
        const char* description;
    };
    static constexpr std::array<FieldStep, 4> steps = { { { &ThemeMetadata::title, "Change Title" },
        { &ThemeMetadata::description, "Change Description" },
        { &ThemeMetadata::locale, "Change Locality" },
        { &ThemeMetadata::version, "Change Version" } } };
    const FieldStep& step = steps[static_cast<std::size_t>(field)];
    ThemeMetadata metadata = m_theme.document().metadata;
    metadata.*step.value = to_latin1(text);
    m_theme.push_typing(metadata_edit(m_theme.document(), metadata), step.description,
        TypingRun { m_typing_run, field });
}

void ThemePanel::command1_Click()
{
    const Document& doc = m_theme.document();
    const std::string q = text::upper(text::trim(to_latin1(m_search_edit->text())));
    if (q.empty()) {
        return;
    }
    int found = -1;
    for (int pass = 0; pass < 2 && found < 0; ++pass) {
        for (int r = std::max(m_search_pos, 0); r < doc.row_count(); ++r) {
            if (text::contains(doc.rows[static_cast<std::size_t>(r)].field_name(), q)) {
                found = r;
                break;
            }
        }
        if (found >= 0 || m_search_pos == 0) {
            break;
        }
        m_search_pos = 0;
    }
    if (found < 0) {
        m_theme.document().message("Not found");
        m_search_pos = 0;
        m_search_edit->setFocus();
        return;
    }
    m_search_pos = found + 1;
    if (m_search_pos > doc.row_count() - 1) {
        m_search_pos = 0;
    }
    emit search_found(found);
}

void ThemePanel::p1_MouseMove(int)
{
    if (btn_hover()) {
        m_search_button->draw_button(QString(), ButtonLook::Normal);
    }
}

bool ThemePanel::eventFilter(QObject* watched, QEvent* event)
{
    const bool metadata_field = watched == m_title_edit || watched == m_description_edit
        || watched == m_locale_edit || watched == m_version_edit;
    if (metadata_field && event->type() == QEvent::FocusIn) {
        ++m_typing_run;
    }
    if (metadata_field && event->type() == QEvent::ShortcutOverride
        && history_key(*static_cast<QKeyEvent*>(event))) {
        // Left to the window's Undo and Redo: the field's typing is a step of the theme.
        event->ignore();
        return true;
    }
    if (event->type() != QEvent::KeyPress) {
        return QObject::eventFilter(watched, event);
    }
    auto* key = static_cast<QKeyEvent*>(event);
    if (watched == m_search_edit) {
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            command1_Click();
            return true;
        }
        if (!key->text().isEmpty()) {
            m_search_pos = 0;
        }
        return false;
    }
    if ((watched == m_title_edit || watched == m_description_edit) && !is_editing_key(*key)
        && !key->text().isEmpty() && key->text().at(0).isPrint()) {
        const QString typed = upper_typed(key->text());
        if (typed == key->text()) {
            return false;
        }
        if (watched == m_title_edit) {
            m_title_edit->insert(typed);
        } else {
            m_description_edit->insertPlainText(typed);
        }
        return true;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace tintwell
