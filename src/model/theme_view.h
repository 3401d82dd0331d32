#pragma once

#include <string_view>

namespace tintwell {

struct ThemeMetadata;

/// What the readers, the writer and the document commands do to the main window: its presentation
/// list, Edit menu, locale and version fields, selection and pointer. The default does nothing, so
/// the core runs without a window.
class ThemeView
{
public:
    virtual ~ThemeView() = default;
    /// Empties the presentation list.
    virtual void clear_presentations() { }
    /// Appends one item, as read (it may carry blanks and a CR).
    virtual void add_presentation(std::string_view) { }
    virtual void set_edit_menu_enabled(bool) { }
    /// Enables or disables the locale and version fields.
    virtual void set_locale_version_enabled(bool) { }
    /// The metadata changed in the document; show it.
    virtual void metadata_changed(const ThemeMetadata&) { }
    /// Clears the selection in the preview.
    virtual void nosel() { }
    /// The element search starts from the first element again.
    virtual void reset_search() { }
    /// Puts the input focus into the title field.
    virtual void focus_title() { }
    /// Clears the preview and forgets its samples.
    virtual void clear_preview() { }
    virtual void busy_on() { }
    virtual void busy_off() { }
};

} // namespace tintwell
