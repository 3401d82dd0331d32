#include "ui/dialogs/compare_window.h"

#include "analysis/compare_text.h"
#include "model/open_style.h"
#include "model/reader.h"
#include "model/text.h"
#include "ui/common/busy_pointer.h"
#include "ui/common/file_dialogs.h"
#include "ui/common/file_names.h"
#include "ui/common/latin1.h"
#include "ui/common/preview_widget.h"
#include "ui/common/tool_panel.h"
#include "ui/common/twips.h"
#include "ui/common/window_place.h"
#include "ui/theme/theme_window.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QHelpEvent>
#include <QLabel>
#include <QListWidget>
#include <QMainWindow>
#include <QPaintEvent>
#include <QPainter>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QSplitter>
#include <QToolTip>
#include <QUndoStack>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <functional>
#include <new>
#include <optional>

namespace tintwell {

namespace {

const char* const no_theme_message = "Open or start a theme first, then compare it with another.";
const char* const stale_change_message = "This change no longer fits the open theme.";
const char* const stale_changes_message =
    "Some changes no longer fit the open theme after the others were taken; they are still listed.";

// A rectangle of the preview in its pixels.
QRect pixels(const TwipRect& rect)
{
    return QRect(px(static_cast<double>(rect.left)), px(static_cast<double>(rect.top)),
        px(static_cast<double>(rect.width)), px(static_cast<double>(rect.height)));
}

// The top of a shown row's sample box, in pixels of its preview.
int top_in_pixels(const PreviewLayout& layout, int row)
{
    return px(static_cast<double>(layout.rows[static_cast<std::size_t>(row)].box.top));
}

// The look of a marked sample: a frame in its colour, and a badge for a row only in one theme.
struct CompareMark
{
    QColor colour;
    QString badge;
};

// A preview of one side: the main preview's drawing, with the marks of the comparison drawn
// over it and the change of a sample as its tooltip.
class ComparePreview : public PreviewWidget
{
public:
    using MarkOf = std::function<std::optional<CompareMark>(int row)>;
    using TipOf = std::function<QString(int row)>;

    ComparePreview(Document& doc, QWidget* parent, MarkOf mark_of, TipOf tip_of)
        : PreviewWidget(doc, parent)
        , m_mark_of(std::move(mark_of))
        , m_tip_of(std::move(tip_of))
    {
        setAcceptDrops(false);
        preview().headings = true;
    }

protected:
    void paintEvent(QPaintEvent* event) override
    {
        PreviewWidget::paintEvent(event);
        const PreviewLayout& layout = preview().layout();
        const QRect area = event->rect();
        QPainter painter(this);
        painter.setClipRect(area);
        QFont badge_font = font();
        badge_font.setBold(true);
        badge_font.setPixelSize(12);
        painter.setFont(badge_font);
        // A mark lies over the selection frame and reaches a pixel beyond it.
        const auto [first, last] = layout.rows_between(tw(area.top() - 4), tw(area.bottom() + 5));
        for (int p = first; p < last; ++p) {
            const int row = layout.order[static_cast<std::size_t>(p)];
            const auto mark = m_mark_of(row);
            const auto frame = layout.frame_around(row);
            if (!mark || !frame) {
                continue;
            }
            const QRect rect = pixels(*frame).adjusted(0, 0, -1, -1);
            painter.setRenderHint(QPainter::Antialiasing, false);
            painter.setPen(QPen(mark->colour, 2));
            painter.setBrush(Qt::NoBrush);
            painter.drawRect(rect);
            if (mark->badge.isEmpty()) {
                continue;
            }
            const QRect badge(rect.right() - 17, rect.top() + 3, 14, 14);
            painter.setRenderHint(QPainter::Antialiasing);
            painter.setPen(Qt::NoPen);
            painter.setBrush(mark->colour);
            painter.drawEllipse(badge);
            painter.setPen(Qt::white);
            painter.drawText(badge, Qt::AlignCenter, mark->badge);
        }
        // The selection shows round the mark, thicker than the preview draws it.
        if (frame_visible()) {
            painter.setRenderHint(QPainter::Antialiasing, false);
            painter.setPen(QPen(Qt::black, 2));
            painter.setBrush(Qt::NoBrush);
            painter.drawRect(pixels(preview().shape4.rect).adjusted(-2, -2, 1, 1));
        }
    }

    bool event(QEvent* event) override
    {
        if (event->type() != QEvent::ToolTip) {
            return PreviewWidget::event(event);
        }
        auto* help = static_cast<QHelpEvent*>(event);
        const int row = row_at(help->pos());
        if (row < 0) {
            QToolTip::hideText();
            event->ignore();
            return true;
        }
        QToolTip::showText(help->globalPos(), m_tip_of(row), this, box_rect(row));
        return true;
    }

private:
    MarkOf m_mark_of;
    TipOf m_tip_of;
};

QString file_name_of(const QString& path)
{
    return QFileInfo(path).fileName();
}

QString utf8_line(const std::string& text)
{
    // A description may run over lines; the list shows each change on one.
    return QString::fromUtf8(text).replace("\r\n", " ").replace('\n', ' ').replace('\r', ' ');
}

} // namespace

CompareWindow::CompareWindow(ThemeWindow& main, Document other, const QString& other_path)
    : QWidget(&main.host(), Qt::Window)
    , m_main(main)
    , m_other(std::move(other))
    , m_other_path(other_path)
{
    setObjectName("compare");
    setAttribute(Qt::WA_DeleteOnClose);
    m_other.attach(nullptr, nullptr);
    m_shown[Other] = m_other;
    build_controls();
    resize(px(16500), px(10500));
    connect(&m_main.history(), &QUndoStack::indexChanged, this, &CompareWindow::refresh);
    connect(&m_main.theme(), &OpenTheme::theme_replaced, this, &CompareWindow::refresh);
    refresh();
}

void CompareWindow::build_controls()
{
    QFont arial("Arial");
    arial.setPointSize(9);
    setFont(arial);

    auto* changes_panel = new QWidget(this);
    m_summary = new QLabel(changes_panel);
    m_summary->setObjectName("summary");
    m_summary->setWordWrap(true);
    m_change_list = new QListWidget(changes_panel);
    m_change_list->setObjectName("changes");
    // Each line as wide as its text, so none is cut off; a long list is laid out in batches.
    m_change_list->setLayoutMode(QListView::Batched);
    m_change_list->setTextElideMode(Qt::ElideNone);
    m_change_list->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    m_changed_only = new QCheckBox("Changed only", changes_panel);
    m_changed_only->setObjectName("changed_only");
    m_take_button = new QPushButton("Take this change", changes_panel);
    m_take_button->setObjectName("take_change");
    m_take_button->setToolTip("Gives the open theme the other theme's side of this change");
    m_take_button->setEnabled(false);
    m_take_all_button = new QPushButton("Take All Changes", changes_panel);
    m_take_all_button->setObjectName("take_all");
    m_take_all_button->setToolTip("Gives the open theme the other theme's side of every change");
    m_take_all_button->setEnabled(false);
    auto* panel_layout = new QVBoxLayout(changes_panel);
    panel_layout->setContentsMargins(0, 0, 0, 0);
    panel_layout->addWidget(m_summary);
    panel_layout->addWidget(m_change_list, 1);
    panel_layout->addWidget(m_changed_only);
    panel_layout->addWidget(m_take_button);
    panel_layout->addWidget(m_take_all_button);

    auto* previews = new QWidget(this);
    auto* grid = new QGridLayout(previews);
    grid->setContentsMargins(0, 0, 0, 0);
    const std::array<const char*, 2> preview_names = { "open_preview", "other_preview" };
    for (const Side side : { Open, Other }) {
        m_names[side] = new QLabel(previews);
        m_areas[side] = new QScrollArea(previews);
        QScrollArea* area = m_areas[side];
        area->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        area->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        area->setBackgroundRole(QPalette::Dark);
        auto* preview = new ComparePreview(
            m_shown[side], area,
            [this, side](int row) -> std::optional<CompareMark> {
                const auto& marks = m_marks[side];
                const Mark mark = row >= 0 && static_cast<std::size_t>(row) < marks.size()
                    ? marks[static_cast<std::size_t>(row)]
                    : Mark::None;
                switch (mark) {
                case Mark::Changed:
                    return CompareMark { QColor(230, 126, 0), {} };
                case Mark::Added:
                    return CompareMark { QColor(0, 150, 60), "+" };
                case Mark::Removed:
                    return CompareMark { QColor(210, 30, 30), QString(QChar(0x2212)) };
                case Mark::None:
                    break;
                }
                return std::nullopt;
            },
            [this, side](int row) { return tip(side, row); });
        preview->setObjectName(preview_names[side]);
        area->setWidget(preview);
        m_previews[side] = preview;
        area->viewport()->installEventFilter(this);
        grid->addWidget(m_names[side], 0, static_cast<int>(side));
        grid->addWidget(area, 1, static_cast<int>(side));

        connect(area->verticalScrollBar(), &QScrollBar::valueChanged, this,
            [this, side] { follow_scroll(side); });
        connect(preview, &PreviewWidget::sample_pressed, this,
            [this, side](int row) { sample_pressed(side, row); });
    }

    m_splitter = new QSplitter(Qt::Horizontal, this);
    m_splitter->setObjectName("compare_splitter");
    m_splitter->addWidget(changes_panel);
    m_splitter->addWidget(previews);
    m_splitter->setStretchFactor(1, 1);
    m_splitter->setChildrenCollapsible(false);
    m_splitter->setSizes({ px(5400), px(11100) });
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_splitter);
    add_close_controls(*this, *layout);

    connect(m_change_list, &QListWidget::currentRowChanged, this,
        [this](int line) { show_change(line, true); });
    connect(m_changed_only, &QCheckBox::toggled, this, &CompareWindow::apply_filter);
    connect(m_take_button, &QPushButton::clicked, this, &CompareWindow::take_selected);
    connect(m_take_all_button, &QPushButton::clicked, this, &CompareWindow::take_all);
    connect(m_splitter, &QSplitter::splitterMoved, this,
        [this] { emit list_width_changed(list_width()); });
}

int CompareWindow::list_width() const
{
    return m_splitter->sizes().value(0);
}

void CompareWindow::set_list_width(int width)
{
    if (width <= 0) {
        return;
    }
    const QList<int> sizes = m_splitter->sizes();
    const int total = sizes.value(0) + sizes.value(1);
    m_splitter->setSizes({ width, std::max(total - width, 1) });
}

void CompareWindow::refresh()
{
    const Document& open = m_main.document();
    m_shown[Open] = open;
    m_shown[Open].attach(nullptr, nullptr);
    m_comparison = compare_themes(open, m_other);

    for (const Side side : { Open, Other }) {
        m_marks[side].assign(m_shown[side].rows.size(), Mark::None);
        m_lines[side].assign(m_shown[side].rows.size(), -1);
    }
    m_match_of_other.assign(m_other.rows.size(), -1);
    for (std::size_t row = 0; row < m_comparison.matches.size(); ++row) {
        const int match = m_comparison.matches[row];
        if (m_other.valid_row(match)) {
            m_match_of_other[static_cast<std::size_t>(match)] = static_cast<int>(row);
        }
    }
    const auto mark = [this](Side side, int row, Mark how, int line) {
        if (m_shown[side].valid_row(row)) {
            m_marks[side][static_cast<std::size_t>(row)] = how;
            m_lines[side][static_cast<std::size_t>(row)] = line;
        }
    };
    int line = static_cast<int>(m_comparison.metadata.size());
    for (const RowChange& change : m_comparison.rows) {
        const bool changed = change.kind == RowChangeKind::Changed;
        mark(Open, change.row_a, changed ? Mark::Changed : Mark::Removed, line);
        mark(Other, change.row_b, changed ? Mark::Changed : Mark::Added, line);
        ++line;
    }

    const QString open_path = from_bytes(open.file_name);
    setWindowTitle("Compare " + file_name_of(open_path) + " with " + file_name_of(m_other_path));
    m_names[Open]->setText("Open theme: " + file_name_of(open_path));
    m_names[Open]->setToolTip(open_path);
    m_names[Other]->setText("Other theme: " + file_name_of(m_other_path));
    m_names[Other]->setToolTip(m_other_path);
    const int count = line;
    if (!m_comparison.error.empty()) {
        m_summary->setText(from_latin1(m_comparison.error));
    } else if (count == 0) {
        m_summary->setText("The themes are the same.");
    } else {
        m_summary->setText(count == 1 ? QString("1 change") : QString("%1 changes").arg(count));
    }

    fill_list();
    for (const Side side : { Open, Other }) {
        set_shown_rows(side);
        // Samples are kept by what they show, so those of rows that did not change are not
        // drawn again.
        m_previews[side]->plot(PlotMode::KeepSamples, visible_height(side));
    }
    show_change(m_change_list->currentRow(), false);
}

void CompareWindow::fill_list()
{
    QStringList lines;
    lines.reserve(static_cast<qsizetype>(m_comparison.metadata.size() + m_comparison.rows.size()));
    for (const MetadataChange& change : m_comparison.metadata) {
        lines << utf8_line(change_text(change));
    }
    for (const RowChange& change : m_comparison.rows) {
        lines << utf8_line(change_text(change, m_other.kind, display_element(change)));
    }
    const int kept = m_change_list->currentRow();
    const QSignalBlocker block(m_change_list);
    m_change_list->clear();
    m_change_list->addItems(lines);
    // A line wider than the list shows whole when pointed at.
    for (int i = 0; i < m_change_list->count(); ++i) {
        m_change_list->item(i)->setToolTip(lines[i]);
    }
    if (kept >= 0 && !lines.isEmpty()) {
        m_change_list->setCurrentRow(std::min(kept, static_cast<int>(lines.size()) - 1));
    }
}

const RowChange* CompareWindow::row_change(int line) const
{
    const auto at = line - static_cast<int>(m_comparison.metadata.size());
    if (line < 0 || at < 0 || at >= static_cast<int>(m_comparison.rows.size())) {
        return nullptr;
    }
    return &m_comparison.rows[static_cast<std::size_t>(at)];
}

std::string CompareWindow::display_element(const RowChange& change) const
{
    const bool in_open = m_shown[Open].valid_row(change.row_a);
    const Document& doc = in_open ? m_shown[Open] : m_shown[Other];
    const int row = in_open ? change.row_a : change.row_b;
    if (!doc.valid_row(row)) {
        return element_text(change);
    }
    const StyleRow& style = doc.rows[static_cast<std::size_t>(row)];
    // A Sport & Fitness theme is one list; the preview shows no presentation for it.
    return display_element_text(style.elem_name(),
        doc.kind == ThemeKind::CarZumo ? style.pres_name() : std::string_view(), change);
}

void CompareWindow::show_change(int line, bool scroll)
{
    m_take_button->setEnabled(line >= 0 && m_comparison.error.empty());
    m_take_all_button->setEnabled(m_change_list->count() > 0 && m_comparison.error.empty());
    const RowChange* change = row_change(line);
    const int row_a = change ? change->row_a : -1;
    const int row_b = change ? change->row_b : -1;
    frame_row(Open, row_a);
    frame_row(Other, row_b);
    if (!scroll || change == nullptr) {
        return;
    }
    scroll_to_row(Open, row_a);
    scroll_to_row(Other, row_b);
    // A row only in one theme: the other side shows where it stands among the matched rows.
    if (row_a < 0) {
        follow_scroll(Other);
    } else if (row_b < 0) {
        follow_scroll(Open);
    }
}

void CompareWindow::frame_row(Side side, int row)
{
    PreviewWidget* preview = m_previews[side];
    const auto frame = preview->preview().layout().frame_around(row);
    if (!frame) {
        preview->hide_frame();
        return;
    }
    // A new layout moves the frame to the document's selected row.
    m_shown[side].cur_row = row;
    preview->show_frame(*frame);
}

void CompareWindow::scroll_to_row(Side side, int row)
{
    const PreviewLayout& layout = m_previews[side]->preview().layout();
    if (!layout.shown(row)) {
        return;
    }
    // A little of what comes before the row shows above it, and the heading of its presentation
    // when the row still shows whole below it.
    const Document& doc = m_shown[side];
    const PreviewRow& laid = layout.rows[static_cast<std::size_t>(row)];
    std::int64_t top = laid.box.top - layout.zoomed(300);
    if (const auto block = layout.presentation_top(
            doc, listed_presentation(doc, doc.rows[static_cast<std::size_t>(row)]));
        block && laid.caption.bottom() - (*block - layout.zoomed(100)) <= visible_height(side)) {
        top = std::min(top, *block - layout.zoomed(100));
    }
    const QScopedValueRollback following(m_following, true);
    m_areas[side]->verticalScrollBar()->setValue(std::max(px(static_cast<double>(top)), 0));
}

int CompareWindow::partner(Side side, int row) const
{
    const std::vector<int>& matches = side == Open ? m_comparison.matches : m_match_of_other;
    return row >= 0 && static_cast<std::size_t>(row) < matches.size()
        ? matches[static_cast<std::size_t>(row)]
        : -1;
}

int CompareWindow::line_of(Side side, int row) const
{
    const std::vector<int>& lines = m_lines[side];
    return row >= 0 && static_cast<std::size_t>(row) < lines.size()
        ? lines[static_cast<std::size_t>(row)]
        : -1;
}

void CompareWindow::follow_scroll(Side from)
{
    if (m_following) {
        return;
    }
    const QScopedValueRollback following(m_following, true);
    const Side to = from == Open ? Other : Open;
    const PreviewLayout& from_layout = m_previews[from]->preview().layout();
    const PreviewLayout& to_layout = m_previews[to]->preview().layout();
    QScrollBar* from_bar = m_areas[from]->verticalScrollBar();
    QScrollBar* to_bar = m_areas[to]->verticalScrollBar();
    const std::int64_t top = tw(from_bar->value());
    const auto [first, last] = from_layout.rows_between(top, top + visible_height(from));
    for (int p = first; p < last; ++p) {
        const int row = from_layout.order[static_cast<std::size_t>(p)];
        const int match = partner(from, row);
        if (to_layout.shown(match)) {
            const int offset = top_in_pixels(from_layout, row) - from_bar->value();
            to_bar->setValue(top_in_pixels(to_layout, match) - offset);
            return;
        }
    }
    // Nothing in view has a match on the other side: as far down the other as down this one.
    const double share = static_cast<double>(from_bar->value()) / std::max(from_bar->maximum(), 1);
    to_bar->setValue(static_cast<int>(std::lround(share * to_bar->maximum())));
}

void CompareWindow::sample_pressed(Side side, int row)
{
    const int line = line_of(side, row);
    {
        const QSignalBlocker block(m_change_list);
        m_change_list->setCurrentRow(line);
    }
    if (line >= 0) {
        m_change_list->scrollToItem(m_change_list->item(line));
    }
    show_change(line, false);
    if (line < 0) {
        // A row the themes share: it and its match are framed.
        frame_row(side, row);
        frame_row(side == Open ? Other : Open, partner(side, row));
    }
    follow_scroll(side);
}

void CompareWindow::set_shown_rows(Side side)
{
    Preview& preview = m_previews[side]->preview();
    if (!m_changed_only->isChecked()) {
        preview.show_all();
        return;
    }
    std::vector<int> rows;
    for (std::size_t row = 0; row < m_marks[side].size(); ++row) {
        if (m_marks[side][row] != Mark::None) {
            rows.push_back(static_cast<int>(row));
        }
    }
    preview.show_only(std::move(rows));
}

void CompareWindow::apply_filter()
{
    for (const Side side : { Open, Other }) {
        set_shown_rows(side);
        m_previews[side]->relayout(visible_height(side));
    }
    show_change(m_change_list->currentRow(), true);
}

void CompareWindow::take_selected()
{
    const int line = m_change_list->currentRow();
    if (line < 0 || !m_comparison.error.empty()) {
        return;
    }
    Document& open = m_main.document();
    std::optional<DocumentEdit> edit;
    std::string description;
    if (const RowChange* change = row_change(line)) {
        edit = take_change(open, m_other, *change);
        description = take_change_description(*change);
    } else if (static_cast<std::size_t>(line) < m_comparison.metadata.size()) {
        const MetadataChange& change = m_comparison.metadata[static_cast<std::size_t>(line)];
        edit = take_change(open, change);
        description = take_change_description(change);
    }
    if (!edit) {
        open.message(stale_change_message);
        refresh();
        return;
    }
    // The edit keeps the presentation list as the theme spells it; the list is shown as it is
    // rather than rebuilt from the catalogue, which would change more than the line taken.
    const bool presentations = edit->changes_presentations();
    const bool rows = edit->changes_rows();
    m_main.theme().push_edit(std::move(*edit), description);
    if (presentations) {
        m_main.list_presentations();
    }
    if (rows) {
        if (!open.valid_row(open.cur_row)) {
            open.cur_row = 0;
            m_main.nosel();
        }
        m_main.redraw_keeping_scroll();
    }
    // The step compared the themes again; the line that took the taken change's place is shown.
    show_change(m_change_list->currentRow(), true);
}

void CompareWindow::take_all()
{
    const int count = m_change_list->count();
    if (count == 0 || !m_comparison.error.empty()) {
        return;
    }
    Document& open = m_main.document();
    const std::string description =
        count == 1 ? "Take 1 change" : "Take all " + std::to_string(count) + " changes";
    bool stale = false;
    {
        const OpenTheme::StepScope step(m_main.theme());
        // Rows taken in or out move the rows after them, so the themes are compared again after
        // each such change; every round takes at least one change, or stops.
        for (int round = 0; round <= count && !m_comparison.same(); ++round) {
            if (!take_some(description)) {
                stale = true;
                break;
            }
            m_comparison = compare_themes(open, m_other);
        }
    }
    if (!open.valid_row(open.cur_row)) {
        open.cur_row = 0;
        m_main.nosel();
    }
    m_main.list_presentations();
    m_main.redraw_keeping_scroll();
    refresh();
    if (stale) {
        open.message(stale_changes_message);
    }
}

bool CompareWindow::take_some(const std::string& description)
{
    Document& open = m_main.document();
    bool taken = false;
    for (const MetadataChange& change : m_comparison.metadata) {
        if (auto edit = take_change(open, change)) {
            m_main.theme().push_edit(std::move(*edit), description);
            taken = true;
        }
    }
    for (const RowChange& change : m_comparison.rows) {
        if (change.kind == RowChangeKind::Changed) {
            if (auto edit = take_change(open, m_other, change)) {
                m_main.theme().push_edit(std::move(*edit), description);
                taken = true;
            }
        }
    }
    for (const RowChange& change : m_comparison.rows) {
        if (change.kind != RowChangeKind::Changed) {
            if (auto edit = take_change(open, m_other, change)) {
                m_main.theme().push_edit(std::move(*edit), description);
                return true;
            }
        }
    }
    return taken;
}

QString CompareWindow::tip(Side side, int row) const
{
    const int line = line_of(side, row);
    if (line >= 0 && m_change_list->item(line) != nullptr) {
        return m_change_list->item(line)->text();
    }
    const Document& doc = m_shown[side];
    if (!doc.valid_row(row)) {
        return {};
    }
    const StyleRow& style = doc.rows[static_cast<std::size_t>(row)];
    const std::string pres = doc.kind == ThemeKind::CarZumo ? text::trim(style.pres_name()) : "";
    const std::string name = text::trim(style.elem_name());
    return from_latin1(pres.empty() ? name : name + " (" + pres + ")");
}

int CompareWindow::visible_height(Side side) const
{
    return tw(m_areas[side]->viewport()->height());
}

void CompareWindow::fit_preview(Side side)
{
    PreviewWidget* preview = m_previews[side];
    preview->resize(m_areas[side]->viewport()->width(), preview->height());
    preview->relayout(visible_height(side));
}

bool CompareWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Resize) {
        for (const Side side : { Open, Other }) {
            if (watched == m_areas[side]->viewport()) {
                fit_preview(side);
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

CompareWindow* compare_with(ThemeWindow& main, FileDialogs& dialogs)
{
    Document& open = main.document();
    if (!open.theme_open) {
        open.message(no_theme_message);
        return nullptr;
    }
    const QString path =
        dialogs.open_path(&main.host(), from_bytes(open.file_name), "Garmin Themes (*.kmtf)");
    if (path.isEmpty()) {
        return nullptr;
    }
    RecordingPrompter reading;
    Document other;
    other.attach(&reading, nullptr);
    other.border_pref = open.border_pref;
    bool read = false;
    try {
        const BusyPointer busy;
        read = open_theme(other, to_bytes(path));
        shorten_day_colours(other);
    } catch (const std::bad_alloc&) {
        // A file too large to hold is refused as opening refuses it; the open theme is untouched.
        open.message(to_latin1(path) + ": not enough memory to read it");
        return nullptr;
    }
    other.attach(nullptr, nullptr);
    if (!read) {
        std::string why = to_latin1(path) + " is not a theme.";
        for (const std::string& said : reading.messages) {
            why += "\n" + said;
        }
        open.message(why);
        return nullptr;
    }
    if (other.kind != open.kind) {
        open.message(compare_themes(open, other).error);
        return nullptr;
    }
    auto* window = new CompareWindow(main, std::move(other), path);
    cent(*window);
    keep_title_bar_on_screen(*window);
    window->show();
    window->raise();
    return window;
}

} // namespace tintwell
