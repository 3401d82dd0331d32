// The preview's scrolling, keys, selection, zoom, filter box and status bar.
#include "ui/main/preview_navigator.h"

#include "model/text.h"
#include "ui/common/latin1.h"
#include "ui/common/preview_widget.h"
#include "ui/common/twips.h"
#include "ui/theme/open_theme.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QTimer>
#include <QWheelEvent>
#include <algorithm>
#include <array>
#include <cmath>

namespace tintwell {

namespace {

// The zoom steps of Zoom In and Zoom Out, in percent.
constexpr std::array<int, 13> zoom_steps = { 50, 67, 75, 90, 100, 110, 125, 150, 175, 200, 250, 300,
    400 };

// One notch of a mouse wheel, in the eighths of a degree the toolkit counts.
constexpr int notch = 120;

int percent_of(double zoom)
{
    return static_cast<int>(std::lround(zoom * 100));
}

// `steps` zoom steps up (positive) or down from `zoom`; a zoom between two steps goes to the
// next one in that direction.
double stepped_zoom(double zoom, int steps)
{
    int percent = percent_of(zoom);
    for (; steps > 0; --steps) {
        const auto next = std::upper_bound(zoom_steps.begin(), zoom_steps.end(), percent);
        percent = next == zoom_steps.end() ? zoom_steps.back() : *next;
    }
    for (; steps < 0; ++steps) {
        const auto below = std::lower_bound(zoom_steps.begin(), zoom_steps.end(), percent);
        percent = below == zoom_steps.begin() ? zoom_steps.front() : *(below - 1);
    }
    return percent / 100.0;
}

// The selected style as the status bar names it: "GUIDANCE, ROAD HWY MJR: day #0080FF, night
// #004080", its colours as the theme holds them.
std::string style_summary(const Document& doc, int row)
{
    const StyleRow& r = doc.rows[static_cast<std::size_t>(row)];
    std::string summary;
    const std::string_view presentation = text::trim_view(r.pres_name());
    if (doc.kind == ThemeKind::CarZumo && !presentation.empty()) {
        summary += std::string(presentation) + ", ";
    }
    summary += std::string(text::trim_view(r.elem_name())) + ": day ";
    const auto colour = [](std::string_view value) {
        const std::string_view shown = text::trim_view(value);
        return shown.empty() || shown == "-1" ? std::string("none") : "#" + std::string(shown);
    };
    summary += colour(r.pri_day());
    summary += r.pri_night() == "-1" ? ", no night colours" : ", night " + colour(r.pri_night());
    return summary;
}

// The selection becomes `row` alone, the anchor of the next range.
void select_only(RowSelection& selection, int row)
{
    selection.clear();
    selection.set(row, true);
    selection.set_anchor(row);
}

// "12 styles selected", and how many of them the filter hides.
QString styles_selected_text(const RowSelection& selection, const PreviewLayout& layout)
{
    int hidden = 0;
    if (layout.order.size() < layout.rows.size()) {
        for (const int row : selection.rows()) {
            hidden += layout.shown(row) ? 0 : 1;
        }
    }
    QString text = QString("%1 styles selected").arg(selection.count());
    if (hidden > 0) {
        text += QString(", %1 of them hidden by the filter").arg(hidden);
    }
    return text;
}

} // namespace

PreviewNavigator::PreviewNavigator(OpenTheme& theme, const Parts& parts)
    : QObject(parts.window)
    , m_theme(theme)
    , m_preview(parts.preview)
    , m_frame(parts.frame)
    , m_scroll_bar(parts.scroll_bar)
    , m_code_menu(parts.code_menu)
{
    m_preview->preview().headings = true;
    m_preview->setFocusPolicy(Qt::StrongFocus);
    for (QWidget* part : std::initializer_list<QWidget*> { m_preview, m_frame, m_scroll_bar }) {
        part->installEventFilter(this);
    }
    connect(m_scroll_bar, &QScrollBar::valueChanged, this, &PreviewNavigator::vs_Scroll);
    m_preview->preview().selection = &m_theme.selection();
    m_preview->set_band_selection(true);
    connect(m_preview, &PreviewWidget::sample_pressed, this, &PreviewNavigator::click);
    connect(m_preview, &PreviewWidget::empty_pressed, this, [this](Qt::KeyboardModifiers keys) {
        // Ctrl keeps the selection for a band that adds to it.
        if (!(keys & Qt::ControlModifier)) {
            clear_selection();
        }
    });
    connect(m_preview, &PreviewWidget::band_dragged, this, &PreviewNavigator::band_dragged);
    connect(m_preview, &PreviewWidget::band_scroll_wanted, this,
        [this](int pixels) { scroll_by(static_cast<double>(tw(pixels))); });
    connect(m_preview, &PreviewWidget::band_finished, this, [this] { m_band_started = false; });
    build_view_menu(*parts.window, parts.view_menu_before);
    build_filter_box(*parts.window);

    m_status_bar = parts.window->statusBar();
    m_status_bar->setObjectName("status_bar");
    m_filter_count = new QLabel(m_status_bar);
    m_filter_count->setObjectName("filter_count");
    m_status_bar->addWidget(m_filter_count);
    // A message the window shows for a while covers it, as it covers the count.
    m_selection_label = new QLabel(m_status_bar);
    m_selection_label->setObjectName("selection_label");
    m_status_bar->addWidget(m_selection_label, 1);
    m_zoom_label = new QLabel(m_status_bar);
    m_zoom_label->setObjectName("zoom_label");
    m_status_bar->addPermanentWidget(m_zoom_label);
}

void PreviewNavigator::build_view_menu(QMainWindow& window, QMenu* before)
{
    auto* view_menu = new QMenu("View", &window);
    view_menu->setObjectName("mview");
    window.menuBar()->insertMenu(before->menuAction(), view_menu);
    const auto add_item = [this, view_menu](const char* name, const char* caption,
                              const QList<QKeySequence>& keys, auto handler) {
        QAction* item = view_menu->addAction(caption);
        item->setObjectName(name);
        item->setShortcuts(keys);
        connect(item, &QAction::triggered, this, handler);
        return item;
    };
    add_item("zoom_in", "Zoom In", { QKeySequence("Ctrl++"), QKeySequence("Ctrl+=") },
        [this] { zoom_by(1); });
    add_item("zoom_out", "Zoom Out", { QKeySequence("Ctrl+-") }, [this] { zoom_by(-1); });
    add_item("zoom_reset", "Actual Size", { QKeySequence("Ctrl+0") }, [this] { show_zoom(1); });
    view_menu->addSeparator();
    add_item("filter_styles", "Filter Styles", { QKeySequence::Find }, [this] {
        m_filter_edit->setFocus(Qt::ShortcutFocusReason);
        m_filter_edit->selectAll();
    });
    m_status_bar_action = add_item("status_bar", "Status Bar", {}, [this](bool shown) {
        m_status_bar->setVisible(shown);
        emit status_bar_toggled();
    });
    m_status_bar_action->setCheckable(true);
}

void PreviewNavigator::build_filter_box(QMainWindow& window)
{
    // The filter box stands in the menu bar above the preview, as high as the menu bar is
    // without it, so it moves nothing of the window below.
    const int menu_height = window.menuBar()->sizeHint().height();
    // The menu bar places its corner widget by the widget's size hint, which a fixed-size line
    // edit does not follow; a holder whose layout gives the box's size keeps the box inside the
    // window.
    auto* holder = new QWidget(window.menuBar());
    auto* holder_layout = new QHBoxLayout(holder);
    holder_layout->setContentsMargins(0, 0, 0, 0);
    m_filter_edit = new QLineEdit(holder);
    holder_layout->addWidget(m_filter_edit);
    m_filter_edit->setObjectName("filter");
    m_filter_edit->setPlaceholderText("Filter styles");
    m_filter_edit->setToolTip(
        "Shows only the styles whose name, field or presentation holds "
        "the text, or with a colour (#1e90ff) or a colour near it (~#1e90ff)");
    m_filter_edit->setClearButtonEnabled(true);
    m_filter_edit->setFixedSize(px(3600), menu_height);
    window.menuBar()->setCornerWidget(holder, Qt::TopRightCorner);
    m_filter_edit->installEventFilter(this);
    connect(m_filter_edit, &QLineEdit::textChanged, this, &PreviewNavigator::filter_edited);
    m_filter_idle = new QTimer(this);
    m_filter_idle->setSingleShot(true);
    connect(m_filter_idle, &QTimer::timeout, this, &PreviewNavigator::prepare_filter);
}

void PreviewNavigator::apply_view_settings(const ViewSettings& settings)
{
    m_preview->preview().set_zoom(settings.zoom_percent / 100.0);
    m_status_bar->setVisible(settings.status_bar);
    m_status_bar_action->setChecked(settings.status_bar);
    show_status();
}

ViewSettings PreviewNavigator::view_settings() const
{
    ViewSettings settings;
    settings.zoom_percent = percent_of(zoom());
    settings.status_bar = m_status_bar_action->isChecked();
    return settings;
}

int PreviewNavigator::status_bar_height() const
{
    return m_status_bar->isHidden() ? 0 : tw(m_status_bar->sizeHint().height());
}

bool PreviewNavigator::eventFilter(QObject* watched, QEvent* event)
{
    const bool preview_part = watched == m_preview || watched == m_frame || watched == m_scroll_bar;
    if (preview_part && event->type() == QEvent::Wheel) {
        preview_wheel(*static_cast<QWheelEvent*>(event));
        return true;
    }
    if (watched == m_preview && event->type() == QEvent::KeyPress) {
        return preview_key(*static_cast<QKeyEvent*>(event));
    }
    if (watched == m_preview && event->type() == QEvent::ContextMenu
        && static_cast<QContextMenuEvent*>(event)->reason() == QContextMenuEvent::Keyboard) {
        open_code_menu_at_selection();
        return true;
    }
    if (watched == m_filter_edit && event->type() == QEvent::KeyPress) {
        return filter_key(*static_cast<QKeyEvent*>(event));
    }
    return QObject::eventFilter(watched, event);
}

// Scrolling.

std::int64_t PreviewNavigator::visible_height() const
{
    return tw(m_frame->height());
}

std::int64_t PreviewNavigator::scroll_offset() const
{
    const double spread = std::abs(tw(m_frame->height()) - tw(m_preview->height()));
    const double max = std::max(m_scroll_bar->maximum(), 1);
    return std::llround(spread * m_scroll_bar->value() / max);
}

void PreviewNavigator::scroll_to_offset(std::int64_t offset)
{
    const double spread = std::abs(tw(m_frame->height()) - tw(m_preview->height()));
    const double max = std::max(m_scroll_bar->maximum(), 1);
    const double value = spread > 0 ? static_cast<double>(offset) * max / spread : 0;
    m_scroll_bar->setValue(static_cast<int>(std::clamp(std::round(value), 0.0, max)));
}

void PreviewNavigator::scroll_by(double twips)
{
    scroll_to_offset(scroll_offset() + std::llround(twips));
}

void PreviewNavigator::take_scroll_range(int value)
{
    const ScrollRange& range = m_preview->preview().scroll;
    if (m_theme.document().row_count() > 0) {
        const QSignalBlocker block(m_scroll_bar);
        m_scroll_bar->setRange(0, static_cast<int>(std::max<std::int64_t>(range.max, 1)));
        m_scroll_bar->setPageStep(static_cast<int>(std::max<std::int64_t>(range.large_change, 1)));
        m_scroll_bar->setSingleStep(
            static_cast<int>(std::max<std::int64_t>(range.small_change, 1)));
        m_scroll_bar->setValue(value);
    }
    vs_Scroll();
}

void PreviewNavigator::scroll_into_view(int row)
{
    const auto frame = m_preview->preview().layout().frame_around(row);
    if (!frame) {
        return;
    }
    const std::int64_t offset = scroll_offset();
    const std::int64_t height = visible_height();
    if (frame->top < offset) {
        scroll_to_offset(frame->top);
    } else if (frame->bottom() > offset + height) {
        scroll_to_offset(std::min(frame->top, frame->bottom() - height));
    }
}

void PreviewNavigator::preview_wheel(const QWheelEvent& wheel)
{
    const int turned = wheel.angleDelta().y();
    if (wheel.modifiers() & Qt::ControlModifier) {
        m_zoom_wheel += turned;
        const int steps = m_zoom_wheel / notch;
        m_zoom_wheel -= steps * notch;
        if (steps != 0) {
            const QPoint at = m_preview->mapFromGlobal(wheel.globalPosition().toPoint());
            zoom_by(steps, QPoint(tw(at.x()), tw(at.y())));
        }
        return;
    }
    if (!wheel.pixelDelta().isNull()) {
        scroll_by(-tw(wheel.pixelDelta().y()));
        return;
    }
    // A notch moves the scroll bar's small step; on a long theme that step (a twentieth of the
    // whole preview) would leap over hundreds of lines, so a notch moves at most a third of
    // what shows. A fine wheel moves by the part of a notch it turned.
    const double spread = std::abs(tw(m_frame->height()) - tw(m_preview->height()));
    const double per_value = spread / std::max(m_scroll_bar->maximum(), 1);
    const double step =
        std::min(m_scroll_bar->singleStep() * per_value, static_cast<double>(visible_height()) / 3);
    scroll_by(-step * turned / notch);
}

// Keys of the preview.

bool PreviewNavigator::preview_key(const QKeyEvent& key)
{
    const Qt::KeyboardModifiers modifiers = key.modifiers() & ~Qt::KeypadModifier;
    if (key.key() == Qt::Key_Menu || (key.key() == Qt::Key_F10 && modifiers == Qt::ShiftModifier)) {
        open_code_menu_at_selection();
        return true;
    }
    const auto arrow = [&]() -> std::optional<Neighbour> {
        switch (key.key()) {
        case Qt::Key_Left:
            return Neighbour::Left;
        case Qt::Key_Right:
            return Neighbour::Right;
        case Qt::Key_Up:
            return Neighbour::Up;
        case Qt::Key_Down:
            return Neighbour::Down;
        default:
            return std::nullopt;
        }
    }();
    if (arrow && modifiers == Qt::ShiftModifier) {
        extend_selection(*arrow);
        return true;
    }
    if (modifiers != Qt::NoModifier) {
        return false;
    }
    if (arrow) {
        move_selection(*arrow);
        return true;
    }
    switch (key.key()) {
    case Qt::Key_Escape:
        if (m_theme.selection().empty()) {
            return false;
        }
        clear_selection();
        return true;
    case Qt::Key_PageUp:
        scroll_by(-static_cast<double>(visible_height()));
        return true;
    case Qt::Key_PageDown:
        scroll_by(static_cast<double>(visible_height()));
        return true;
    case Qt::Key_Home:
        m_scroll_bar->setValue(m_scroll_bar->minimum());
        return true;
    case Qt::Key_End:
        m_scroll_bar->setValue(m_scroll_bar->maximum());
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (selection_shown()) {
            emit open_requested(m_theme.current_row());
        }
        return true;
    default:
        return false;
    }
}

bool PreviewNavigator::selection_shown() const
{
    return !m_theme.selection().empty() && m_theme.document().valid_row(m_theme.current_row())
        && m_preview->preview().layout().shown(m_theme.current_row());
}

void PreviewNavigator::select(int row)
{
    press(row, Qt::NoButton, {});
    scroll_into_view(row);
}

void PreviewNavigator::move_selection(Neighbour direction)
{
    const PreviewLayout& layout = m_preview->preview().layout();
    if (selection_shown()) {
        const int next = layout.neighbour(m_theme.current_row(), direction);
        if (next >= 0) {
            select(next);
        }
        return;
    }
    // Without a selection in sight the first key selects the first sample in sight.
    if (layout.order.empty()) {
        return;
    }
    const std::int64_t offset = scroll_offset();
    const auto [first, last] = layout.rows_between(offset, offset + visible_height());
    select(layout.order[static_cast<std::size_t>(first < last ? first : 0)]);
}

void PreviewNavigator::open_code_menu_at_selection()
{
    if (!selection_shown()) {
        return;
    }
    m_code_menu->popup(m_preview->mapToGlobal(m_preview->box_rect(m_theme.current_row()).center()));
}

bool PreviewNavigator::select_row(int row)
{
    if (!m_theme.document().valid_row(row)) {
        return false;
    }
    if (!m_preview->preview().layout().shown(row)) {
        set_filter_text(QString());
    }
    select(row);
    return true;
}

void PreviewNavigator::follow_selection()
{
    const auto frame = m_preview->preview().layout().frame_around(m_theme.current_row());
    if (!m_theme.selection().empty() && m_theme.document().valid_row(m_theme.current_row())
        && frame) {
        m_preview->show_frame(*frame);
    } else {
        m_preview->hide_frame();
    }
}

void PreviewNavigator::jump_to_presentation(const QString& presentation)
{
    // A name as read may keep the line break after it.
    const PreviewLayout& layout = m_preview->preview().layout();
    const auto top = layout.presentation_top(m_theme.document(), to_latin1(presentation.trimmed()));
    // The heading is written across its rule and reaches above the block's gap.
    if (top) {
        scroll_to_offset(*top - layout.zoomed(100));
    }
}

// Zoom.

double PreviewNavigator::zoom() const
{
    return m_preview->preview().zoom();
}

void PreviewNavigator::set_zoom(double zoom)
{
    show_zoom(zoom);
}

void PreviewNavigator::zoom_by(int steps, std::optional<QPoint> at)
{
    show_zoom(stepped_zoom(zoom(), steps), at);
}

void PreviewNavigator::show_zoom(double zoom, std::optional<QPoint> at)
{
    const PreviewLayout& layout = m_preview->preview().layout();
    const std::int64_t offset = scroll_offset();
    const QPoint point = at.value_or(
        QPoint(tw(m_preview->width()) / 2, static_cast<int>(offset + visible_height() / 2)));
    const std::int64_t on_screen = point.y() - offset;
    // The sample under the point, else the first of the line the point is in.
    int anchor = layout.hit_test(point.x(), point.y());
    if (anchor < 0) {
        anchor = layout.hit_test_caption(point.x(), point.y());
    }
    if (anchor < 0) {
        const auto [first, last] = layout.rows_between(point.y(), point.y() + 1);
        if (first < last) {
            anchor = layout.order[static_cast<std::size_t>(first)];
        }
    }
    const double old_zoom = layout.zoom;
    const std::int64_t old_top =
        anchor >= 0 ? layout.rows[static_cast<std::size_t>(anchor)].box.top : 0;

    m_preview->set_zoom(zoom, visible_height());
    take_scroll_range(m_scroll_bar->value());
    const double ratio = layout.zoom / old_zoom;
    const std::int64_t new_top =
        anchor >= 0 ? layout.rows[static_cast<std::size_t>(anchor)].box.top : 0;
    scroll_to_offset(new_top + std::llround((point.y() - old_top) * ratio) - on_screen);
    follow_selection();
    show_status();
}

// The filter box and the status bar.

void PreviewNavigator::set_filter_text(const QString& text)
{
    m_filter_edit->setText(text);
}

QString PreviewNavigator::filter_text() const
{
    return m_filter_edit->text();
}

void PreviewNavigator::filter_for_plot()
{
    const std::string text = to_latin1(m_filter_edit->text());
    if (parse_query(text).kind == StyleQuery::Kind::All) {
        m_preview->preview().show_all();
        return;
    }
    m_preview->preview().show_only(m_style_filter.rows(m_theme.document(), text));
}

// The near-colour filter reads the theme's colours in idle time after each change, a slice at a
// time so that the window keeps answering, instead of on the first near colour typed.
void PreviewNavigator::prepare_filter()
{
    constexpr std::size_t rows_a_slice = 4096;
    if (!m_style_filter.prepare(m_theme.document(), rows_a_slice)) {
        m_filter_idle->start();
    }
}

void PreviewNavigator::filter_edited()
{
    filter_for_plot();
    m_preview->relayout(visible_height());
    // What the filter keeps is shown from the top, or around the selected style when it is kept.
    take_scroll_range(0);
    follow_selection();
    if (selection_shown()) {
        scroll_into_view(m_theme.current_row());
    }
    show_status();
}

bool PreviewNavigator::filter_key(const QKeyEvent& key)
{
    if (key.key() == Qt::Key_Escape && !m_filter_edit->text().isEmpty()) {
        m_filter_edit->clear();
        return true;
    }
    // Down or Enter goes on to the samples the filter kept.
    if (key.key() == Qt::Key_Down || key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter) {
        m_preview->setFocus(Qt::TabFocusReason);
        if (!selection_shown()) {
            move_selection(Neighbour::Right);
        }
        return true;
    }
    return false;
}

void PreviewNavigator::show_status()
{
    if (const std::vector<int>* shown = m_preview->preview().shown_rows()) {
        m_filter_count->setText(
            QString("%1 of %2 styles").arg(shown->size()).arg(m_theme.document().row_count()));
    } else {
        m_filter_count->clear();
    }
    m_zoom_label->setText(QString("%1 %").arg(percent_of(zoom())));
    show_selected_style();
}

void PreviewNavigator::show_selected_style()
{
    const Document& doc = m_theme.document();
    const RowSelection& selection = m_theme.selection();
    if (selection.count() > 1) {
        m_selection_label->setText(styles_selected_text(selection, m_preview->preview().layout()));
        return;
    }
    if (selection.empty() || !doc.valid_row(doc.cur_row)) {
        m_selection_label->clear();
        return;
    }
    m_selection_label->setText(from_latin1(style_summary(doc, doc.cur_row)));
}

void PreviewNavigator::start_afresh()
{
    {
        const QSignalBlocker block(m_filter_edit);
        m_filter_edit->clear();
    }
    m_preview->preview().show_all();
    m_theme.selection().clear();
    m_band_started = false;
    m_scroll_bar->setValue(0);
}

// A redraw keeps the scroll position; only a theme opened or started begins at the top.
void PreviewNavigator::plot(PlotMode mode)
{
    const int kept = m_scroll_bar->value();
    // A redraw follows every change to the table; typing in the filter box changes nothing.
    m_style_filter.forget();
    m_filter_idle->start();
    filter_for_plot();
    m_preview->plot(mode, visible_height());
    take_scroll_range(kept);
    follow_selection();
    show_status();
}

void PreviewNavigator::relayout_preview()
{
    m_preview->relayout(visible_height());
    take_scroll_range(m_scroll_bar->value());
}

void PreviewNavigator::redraw_keeping_scroll()
{
    const int v = m_scroll_bar->value();
    plot(PlotMode::Fresh);
    m_scroll_bar->setValue(v);
}

void PreviewNavigator::vs_Scroll()
{
    m_preview->move(m_preview->x(), -px(static_cast<double>(scroll_offset())));
}

void PreviewNavigator::press(int row, Qt::MouseButton button, QPoint global_pos)
{
    if (!m_theme.document().valid_row(row)) {
        return;
    }
    m_theme.set_current_row(row);
    select_only(m_theme.selection(), row);
    emit selection_changed();
    place_frame_around(row, 40, 40);
    m_preview->update();
    show_selected_style();
    if (button == Qt::RightButton) {
        m_code_menu->popup(global_pos);
    }
}

void PreviewNavigator::place_frame_around(int row, int extra_width, int extra_height)
{
    const auto frame = m_preview->preview().layout().frame_around(row, extra_width, extra_height);
    if (!frame) {
        return;
    }
    m_preview->show_frame(*frame);
}

void PreviewNavigator::scroll_to_row(int row)
{
    // The sample just before the found one is brought to the top, so the found one shows
    // with a little of what precedes it.
    const PreviewLayout& layout = m_preview->preview().layout();
    if (!layout.shown(row)) {
        return;
    }
    const int before = layout.neighbour(row, Neighbour::Left);
    const int shown = before >= 0 ? before : row;
    const double top = static_cast<double>(layout.rows[static_cast<std::size_t>(shown)].box.top);
    const double height = std::max(tw(m_preview->height()), 1);
    m_scroll_bar->setValue(static_cast<int>(std::lround(top / height * m_scroll_bar->maximum())));
}

void PreviewNavigator::clear_selection()
{
    const bool several = m_theme.selection().count() > 1;
    m_theme.selection().clear();
    m_preview->hide_frame();
    if (several) {
        m_preview->update();
    }
    show_selected_style();
}

void PreviewNavigator::show_found(int row)
{
    // The search goes through every style; one the filter hides is shown by clearing the filter.
    if (!m_preview->preview().layout().shown(row)) {
        set_filter_text(QString());
    }
    // The framed style is the selected one, for the keys, the code box and the code pop-up.
    m_theme.set_current_row(row);
    select_only(m_theme.selection(), row);
    emit selection_changed();
    m_preview->update();
    place_frame_around(row, 44, 42);
    show_selected_style();
    scroll_to_row(row);
}

} // namespace tintwell
