#pragma once

#include "model/document.h"

#include <string>
#include <string_view>
#include <vector>

namespace tintwell {

/// Car & Zumo polygon names with blanks, as one text with a comma before and after every name.
extern const std::string_view car_zumo_polygons;

/// Sport & Fitness polygon names, as one text with a comma after every name.
extern const std::string nwf_polygons;

/// The Add Elements lists of a Car & Zumo theme (names with underscores).
const std::vector<std::string>& car_zumo_polygon_items();
const std::vector<std::string>& car_zumo_line_items();

/// The Sport & Fitness polygon names in list order.
std::vector<std::string> nwf_polygon_items();

/// The Sport & Fitness line names, each followed by CR LF; built once per run.
const std::string& get_nwlines();

/// True when the element is a polygon. Trims blanks from `name` in place. In a Sport & Fitness
/// theme this is nwf_pgns(name) == 2; in a Car & Zumo theme only whole names match.
bool pgon(const Document& doc, std::string& name);

/// 2 for a Sport & Fitness polygon, 1 for a line; any part of a polygon name matches. Turns "_"
/// into blanks in `name` in place and disables the Edit menu when it finds a polygon.
int nwf_pgns(const Document& doc, std::string& name);

} // namespace tintwell
