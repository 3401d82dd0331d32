#pragma once

#include "model/add_element.h"
#include "model/document.h"
#include "ui/theme/edit_command.h"

#include <QObject>
#include <QString>
#include <functional>

class QCheckBox;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QWidget;

namespace tintwell {

class OpenTheme;
class OwnerDrawnButton;
class ThemeWindow;

/// The column left of the preview: the Add Elements button, the Edit Text and Show Code boxes,
/// the presentation list, the theme's metadata fields and the element search. Typing in a
/// metadata field is a step of the open theme's history (one step a visit to the field); the
/// title and description take capitals as typed.
class ThemePanel : public QObject
{
    Q_OBJECT
public:
    /// Places the controls on `central`, the client area of `window`, as designed.
    ThemePanel(ThemeWindow& window, QWidget* central);

    QListWidget* presentation_list() const { return m_presentation_list; }
    QLineEdit* title_edit() const { return m_title_edit; }
    QPlainTextEdit* description_edit() const { return m_description_edit; }
    QCheckBox* show_code_check() const { return m_show_code_check; }
    /// "Edit Text": a double click opens a style's text rather than its editor.
    bool edit_text_checked() const;
    /// The row the next search starts from.
    int search_pos() const { return m_search_pos; }

    /// Shows the theme's metadata in the fields without making a step; a field that already
    /// shows its value keeps its cursor.
    void show_metadata(const ThemeMetadata& metadata);
    void set_locale_version_enabled(bool enabled);
    void focus_title();
    void reset_search() { m_search_pos = 0; }
    /// Shows the presentation list as the theme holds it (a Car & Zumo theme's; a Sport & Fitness
    /// theme keeps the entry its reader listed).
    void list_presentations();

    /// Replaces the Add Elements dialog: returns the chosen entries for the document. Null
    /// brings the dialog back.
    void set_element_chooser(std::function<ElementSelection(Document&)> chooser);
    /// "+": the Add Elements dialog on the open theme; what it adds is one step ("Add
    /// Elements"), and the presentation list and preview show it.
    void Command2_Click();
    /// Search: the next style whose field name holds the typed text (any case), from the last
    /// one found, once round; "Not found" when there is none.
    void command1_Click();
    /// The pointer over the preview puts the Search button's look back.
    void p1_MouseMove(int row);

signals:
    void show_code_clicked();
    void presentation_pressed(const QString& presentation);
    /// The search found style row `row`.
    void search_found(int row);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void build_metadata_fields(QWidget* central);
    void build_search(QWidget* central);
    /// The user changed one of the metadata fields.
    void metadata_edited(MetadataBox field, const QString& text);

    ThemeWindow& m_window;
    OpenTheme& m_theme;
    std::function<ElementSelection(Document&)> m_choose_elements;
    int m_search_pos = 0;
    /// Counts focus changes into a metadata field, so typing there again later is a step of
    /// its own.
    int m_typing_run = 0;

    // Controls; each keeps its design name as its objectName.
    QPushButton* m_add_elements_button;
    QCheckBox* m_edit_text_check;
    QListWidget* m_presentation_list;
    QLineEdit* m_title_edit;
    QPlainTextEdit* m_description_edit;
    QLineEdit* m_locale_edit;
    QLineEdit* m_version_edit;
    QCheckBox* m_show_code_check;
    QLineEdit* m_search_edit;
    OwnerDrawnButton* m_search_button;
};

} // namespace tintwell
