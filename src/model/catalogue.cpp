#include "model/catalogue.h"

#include "model/text.h"

namespace tintwell {

using namespace text;

const std::string_view car_zumo_polygons
    = ",BEACH,BUILDING,BUILDING SHADOW,EXTRD AREA,GLACIER,LAND,MISC AREA,MISC RESTR,MISC OBSTR,"
      "MISC WATER AREA,PARK,RWY HSRFC,URBAN LAND,WATER,WETLAND,WOODS,";

const std::string nwf_polygons
    = "LAND,URBAN LAND,MISC AREA,PARK,WOODS,WETLAND,BOG,FLOATING BOG,SHORELINE,WATER,"
      "MISC WATER AREA,BUILDING,BUILDING SHADOW,SUBJ INUNDATION,GLACIER,RWY HSRFC,GRASSLND,"
      "EVERGREEN,PALM,NIPA PALMS,CASUARINA,EUCALYPTUS,MANGROVES,FILAO,BUSHES,DECIDUOUS,CONIFER,"
      "WOODED,LAVAFLOW,PADDY,CORALREEF,RAPIDS,RADAR,CYPRESS,";

namespace {

const char* const nwf_line_names[] = { "INTERSTATE", "SS INTERSTATE", "MJR HWY", "MNR HWY",
    "ARTERIAL", "COLLECTOR", "RESIDENTIAL", "RAMP", "UNPAVED", "TRAIL", "UNDEFINED LINE 5",
    "UNDEFINED LINE 7", "ROUTABLE CUSTOMIZABLE LINE 5", "RAILRD", "INTL PLTCL", "MJR PLTCL",
    "MNR PLTCL", "RIVER CHNL", "MISC WATER LINE", "MISC LINE", "ISO1", "ISO2", "ISO3", "ISO4",
    "ISO0", "TXT", "HGLT TXT", "RVR LAKE TXT", "WPT TXT", "LABL OTLN", "RTE", "ACTV RTE LEG",
    "ACTV CRS LEG", "ACTV CRS", "RTE LEG", "RTE MAGENTA", "RTE MAGENTA 1", "RTE MAGENTA 2",
    "RTE MAGENTA 3", "RTE MAGENTA 4", "RTE OVRLY", "SLCT RTE", "TRKBCK RTE", "TRK", "STRK",
    "VEHICLE BRDR", "VEHICLE", "VEHICLE LEFT", "VEHICLE RGHT", "VEHICLE BACK", "VHCL HGLT",
    "POPULARITY 1", "POPULARITY 2", "POPULARITY 3", "POPULARITY 4", "POPULARITY 5",
    "POPULARITY 6", "POPULARITY 7", "EPE CIRCLE", "PRX CIRCLE", "OUTLN", "ACTV RTE LEG RED",
    "ACTV RTE LEG BLUE", "ACTV RTE LEG ORNG", "RTE RED", "RTE RED 1", "RTE RED 2", "RTE RED 3",
    "RTE RED 4", "RTE BLUE", "RTE BLUE 1", "RTE BLUE 2", "RTE BLUE 3", "RTE BLUE 4",
    "RTE ORANGE", "RTE ORANGE 1", "RTE ORANGE 2", "RTE ORANGE 3", "RTE ORANGE 4",
    "UNDR SHLD TXT", "MJR CNTR", "INT CNTR", "MNR CNTR", "MJR DPTH CNTR", "INT DPTH CNTR",
    "RBAND", "N ARW HALO", "DPTH CAUT", "DPTH WARN", "FISHING CONTOUR", "LS SUB CBL",
    "LS SUB PWR CBL", "LS DISUSED SUB CBL", "LS SUB CBL BRDR", "LS SUB PWR CBL BRDR",
    "LS SUB PIPELINE", "LS SPLY PIPLINE BRDR", "LS ANCHOR BRDR", "LS NO ANCHOR BRDR",
    "LS CUSTOMS LIMIT", "LS FIRING DANGER", "LS NO FISHING", "LS MARITIME BOUNDARY",
    "LS DEGAUSSING RANGE", "LS LIMIT FISHERY ZONE", "LS MINE AREA BRDR", "LS SEA PLANE AREA BRDR",
    "LS SEAWARD LIMIT CONT", "LS SEAWARD LIMIT TERR", "INTERTIDAL", "INTERTIDAL LINE", "ISO5",
    "ISO6", "BRIDGE", "MDB BLUE", "MDB GREEN", "MDB LIGHTER BLUE", "MDB RED", "MDB MAGENTA",
    "MDB YELLOW", "MDB ORANGE", "MDB LIGHT BLUE", "MDB LIGHTEST BLUE", "MDB LIGHT GREEN",
    "MDB LIGHT MAGENTA", "MDB LIGHT BROWN", "MDB PURPLE", "MDB TRK DK RED", "MDB TRK DK GREEN",
    "MDB TRK DK YELLOW", "MDB TRK DK BLUE", "MDB TRK DK MAGENTA", "MDB TRK DK CYAN",
    "MDB TRK RED", "MDB TRK GREEN", "MDB TRK YELLOW", "MDB TRK BLUE", "MDB TRK MAGENTA",
    "MDB TRK CYAN", "MDB TRK LT BLUE" };

} // namespace

const std::vector<std::string>& car_zumo_polygon_items()
{
    static const std::vector<std::string> items = { "BEACH", "BUILDING", "BUILDING_SHADOW",
        "EXTRD_AREA", "GLACIER", "LAND", "MISC_AREA", "MISC_RESTR", "MISC_OBSTR",
        "MISC_WATER_AREA", "PARK", "RWY_HSRFC", "URBAN_LAND", "WATER", "WETLAND", "WOODS" };
    return items;
}

const std::vector<std::string>& car_zumo_line_items()
{
    static const std::vector<std::string> items = { "CNTR_MJR", "CNTR_INT", "CNTR_MNR",
        "DPTH_CNTR_MJR", "DPTH_CNTR_INT", "DPTH_CNTR_MNR", "GRID_LINE", "MISC_LINE",
        "MISC_WATER_LINE", "PLTCL_INTL", "PLTCL_MJR", "PLTCL_MNR", "ROAD_ALLY", "ROAD_ARTERIAL",
        "ROAD_COLLECTOR", "ROAD_DIM", "ROAD_INTERSTATE", "ROAD_SS_INTERSTATE", "ROAD_HWY_MJR",
        "ROAD_HWY_MNR", "ROAD_RAILRD", "ROAD_RESIDENTIAL", "ROAD_RAMP", "ROAD_TRAIL",
        "ROAD_UNPAVED", "RTE_ACTV_LEG", "RTE_ARRW", "RTE_GPI_EMB", "RTE_INACTV_LEG", "TRK",
        "TRK_SAVED", "LEGEND", "SCALE_LINE" };
    return items;
}

std::vector<std::string> nwf_polygon_items()
{
    std::vector<std::string> items;
    for (auto& name : split(nwf_polygons, ",")) {
        if (!name.empty()) {
            items.push_back(std::move(name));
        }
    }
    return items;
}

const std::string& get_nwlines()
{
    static const std::string lines = [] {
        std::string all;
        for (const char* name : nwf_line_names) {
            all += name;
            all += crlf;
        }
        return all;
    }();
    return lines;
}

int nwf_pgns(const Document& doc, std::string& name)
{
    name = replace(name, "_", " ");
    if (contains(nwf_polygons, upper(name))) {
        doc.view().set_edit_menu_enabled(false);
        return 2;
    }
    return 1;
}

bool pgon(const Document& doc, std::string& name)
{
    name = trim(name);
    if (doc.kind == ThemeKind::SportFitness) {
        return nwf_pgns(doc, name) == 2;
    }
    return contains(car_zumo_polygons, "," + name + ",");
}

} // namespace tintwell
