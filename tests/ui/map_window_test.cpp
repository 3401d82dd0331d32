#include "map/scene.h"
#include "qt_test_support.h"
#include "ui/common/preview_widget.h"
#include "ui/main/file_commands.h"
#include "ui/main/main_window.h"
#include "ui/main/preview_navigator.h"
#include "ui/map/map_pane.h"
#include "ui/map/map_window.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QTemporaryDir>
#include <memory>

using namespace tintwell;

namespace {

// The theme's colour for the major highway by day, and the one the test's editor gives it.
const QColor highway_colour(0xF2, 0xA6, 0x5A);
const QColor edited_colour(0x10, 0xC0, 0x20);

int row_named(const Document& doc, std::string_view element)
{
    for (int i = 0; i < doc.row_count(); ++i) {
        QString name = QString::fromLatin1(doc.rows[static_cast<std::size_t>(i)].elem_name());
        if (name.toUpper().replace('_', ' ').trimmed() == QLatin1String(element)) {
            return i;
        }
    }
    return -1;
}

QColor pixel_of(MapPane& pane, QPoint at)
{
    return pane.grab().toImage().pixelColor(at);
}

// A pixel of the map in the middle of a feature drawn with `row`, showing `colour` there.
std::optional<QPoint> pixel_on(MapPane& pane, int row, const QColor& colour)
{
    const QImage shown = pane.grab().toImage();
    for (const map::SceneFeature& feature : map::town_scene().features) {
        for (std::size_t i = 1; i < feature.points.size(); ++i) {
            for (double t = 0.1; t < 1; t += 0.1) {
                const map::ScenePoint& a = feature.points[i - 1];
                const map::ScenePoint& b = feature.points[i];
                const CanvasPointF p =
                    pane.view().to_pixels({ a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t });
                const QPoint at(static_cast<int>(p.x), static_cast<int>(p.y));
                if (pane.rect().contains(at) && pane.hit_at(at).row == row
                    && shown.pixelColor(at) == colour) {
                    return at;
                }
            }
        }
    }
    return std::nullopt;
}

// The colour the plan draws the row's body with; -1 when it draws none.
ColourValue body_colour(const map::MapPlan& plan, int row)
{
    for (const map::MapItem& item : plan.items) {
        if (item.row == row && item.pass == map::MapPass::Body) {
            return item.colour;
        }
    }
    return -1;
}

QStringList legend_lines(const MapWindow& map)
{
    QStringList lines;
    const auto* legend = child<QListWidget>(map, "map_legend");
    for (int i = 0; i < legend->count(); ++i) {
        lines << legend->item(i)->text();
    }
    return lines;
}

} // namespace

class MapWindowTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    RecordingPrompter m_prompter;

    std::unique_ptr<MainWindow> open_window()
    {
        auto window = std::make_unique<MainWindow>(QString(), m_dir->filePath("tintwell.dat"));
        window->set_prompter(&m_prompter);
        window->show();
        window->files().loadole(QString(TINTWELL_TEST_DATA) + "/ui_car_zumo.kmtf");
        return window;
    }

    MapWindow* open_map(MainWindow& window)
    {
        QApplication::setActiveWindow(&window);
        QTest::keyClick(&window, Qt::Key_F8);
        auto* map = window.findChild<MapWindow*>("map");
        if (map != nullptr) {
            map->resize(900, 600);
            QCoreApplication::processEvents();
        }
        return map;
    }

private slots:
    void init() { m_dir = std::make_unique<QTemporaryDir>(); }

    // F8 opens the map, checked in the View menu; a double click on a road opens the road's
    // editor; the colour the editor applies shows on the map at once, and Undo brings the old
    // one back; F8 in the map closes it.
    void doubleClickEditsAndTheMapFollowsEveryStep()
    {
        auto window = open_window();
        MapWindow* map = open_map(*window);
        QVERIFY(map != nullptr);
        QVERIFY(map->isVisible());
        QVERIFY(child<QAction>(window.get(), "view_map")->isChecked());

        Document& doc = window->document();
        const int highway = row_named(doc, "ROAD HWY MJR");
        QVERIFY(highway >= 0);
        MapPane& pane = map->pane();
        const auto road = pixel_on(pane, highway, highway_colour);
        QVERIFY(road.has_value());

        std::vector<int> opened;
        window->editors().register_editor(EditorKind::Style, [&](QWidget*, Document& d, int r) {
            opened.push_back(r);
            const StyleRow before = d.rows[static_cast<std::size_t>(r)];
            StyleRow after = before;
            after.set_pri_day(before.pri_day().starts_with('#') ? "#10C020" : "10C020");
            DocumentEdit edit;
            edit.replace_row(r, before, after);
            window->editors().edit_sink(d)(std::move(edit), "Apply ROAD HWY MJR");
            return true;
        });
        QTest::mouseDClick(&pane, Qt::LeftButton, {}, *road);
        QCOMPARE(opened, std::vector<int> { highway });
        QCOMPARE(pixel_of(pane, *road), edited_colour);

        child<QAction>(window.get(), "undo")->trigger();
        QCOMPARE(pixel_of(pane, *road), highway_colour);
        child<QAction>(window.get(), "redo")->trigger();
        QCOMPARE(pixel_of(pane, *road), edited_colour);

        QTest::keyClick(map, Qt::Key_F8);
        QVERIFY(!map->isVisible());
        QVERIFY(!child<QAction>(window.get(), "view_map")->isChecked());
    }

    // A click on a road selects its style in the preview, clearing a filter that hid it; the
    // pointer resting on it names its element and presentation.
    void clickSelectsTheStyleInThePreview()
    {
        auto window = open_window();
        MapWindow* map = open_map(*window);
        QVERIFY(map != nullptr);
        Document& doc = window->document();
        const int highway = row_named(doc, "ROAD HWY MJR");
        const auto road = pixel_on(map->pane(), highway, highway_colour);
        QVERIFY(road.has_value());

        window->set_filter_text("WATER");
        window->theme().set_current_row(row_named(doc, "WATER"));
        QTest::mouseClick(&map->pane(), Qt::LeftButton, {}, *road);
        QCOMPARE(doc.cur_row, highway);
        QVERIFY(window->filter_text().isEmpty());
        QVERIFY(window->preview()->preview().layout().shown(highway));
    }

    // The legend says which elements the map cannot draw and why; choosing another
    // presentation draws that one's styles. While the map is closed it does no work; shown
    // again, it has caught up.
    void legendAndPresentationsAndNoWorkWhileClosed()
    {
        auto window = open_window();
        MapWindow* map = open_map(*window);
        QVERIFY(map != nullptr);
        QVERIFY(legend_lines(*map).contains("ROAD RESIDENTIAL: not set in this theme"));
        QVERIFY(legend_lines(*map).contains("ROAD HWY MJR"));

        auto* presentations = child<QComboBox>(map, "map_presentation");
        QCOMPARE(presentations->count(), 2);
        presentations->setCurrentIndex(presentations->findText("BROWSE"));
        QVERIFY(legend_lines(*map).contains("ROAD RESIDENTIAL"));
        QVERIFY(legend_lines(*map).contains("ROAD HWY MJR: not set in this theme"));

        map->close();
        Document& doc = window->document();
        const int residential = row_named(doc, "ROAD RESIDENTIAL");
        const ColourValue before = body_colour(map->pane().plan(), residential);
        QVERIFY(before >= 0);
        const StyleRow row = doc.rows[static_cast<std::size_t>(residential)];
        StyleRow after = row;
        after.set_pri_day(row.pri_day().starts_with('#') ? "#10C020" : "10C020");
        DocumentEdit edit;
        edit.replace_row(residential, row, after);
        window->theme().push_edit(std::move(edit), "Apply ROAD RESIDENTIAL");
        QCOMPARE(body_colour(map->pane().plan(), residential), before);
        child<QAction>(window.get(), "view_map")->trigger();
        QVERIFY(map->isVisible());
        QCOMPARE(body_colour(map->pane().plan(), residential), ColourValue(0x20C010));
    }

    // The map window's place is kept in view.ini when the program ends, and the next run
    // opens it there.
    void placeIsRemembered()
    {
        QRect place;
        {
            auto window = open_window();
            MapWindow* map = open_map(*window);
            QVERIFY(map != nullptr);
            map->setGeometry(120, 140, 720, 480);
            place = map->geometry();
            window->close();
        }
        QFile ini(m_dir->filePath("view.ini"));
        QVERIFY(ini.open(QIODevice::ReadOnly));
        QVERIFY(ini.readAll().contains(QString("map_window=%1,%2,%3,%4")
                                           .arg(place.x())
                                           .arg(place.y())
                                           .arg(place.width())
                                           .arg(place.height())
                                           .toLatin1()));
        auto window = open_window();
        MapWindow* map = open_map(*window);
        QVERIFY(map != nullptr);
        QCOMPARE(map->size(), QSize(900, 600));
    }
};

TINTWELL_QTEST_MAIN(MapWindowTest)
#include "map_window_test.moc"
