#include "model/new_theme.h"

#include "model/text.h"

namespace tintwell {

using namespace text;

bool newproject(Document& doc)
{
    if (doc.modified && doc.prompter().ask_yes_no("Save project?")) {
        return false;
    }
    doc.modified = false;
    doc.view().clear_preview();
    doc.rows.clear();
    doc.pres_count = 0;
    doc.pres_names.clear();
    doc.file_name = untitled_file_name;
    doc.view().clear_presentations();
    doc.metadata = ThemeMetadata { "", "", "", "1.00" };
    doc.view().metadata_changed(doc.metadata);
    doc.view().reset_search();
    doc.view().nosel();
    return true;
}

namespace {

std::string attribute(const char* name, std::string_view value)
{
    std::string out = " ";
    out += name;
    out += "=\"";
    out += value;
    out += '"';
    return out;
}

} // namespace

std::string newcode(Document& doc, int row_index, const std::string& entry)
{
    if (!doc.valid_row(row_index)) {
        return {};
    }
    return newcode(doc.kind, doc.rows[static_cast<std::size_t>(row_index)], entry);
}

std::string newcode(ThemeKind kind, StyleRow& row, const std::string& entry)
{
    std::string out;
    if (kind == ThemeKind::CarZumo) {
        out = "field=" + entry;
        if (!row.scale().empty()) {
            out += attribute("scale", row.scale());
        }
        if (!row.border().empty()) {
            out += attribute("border", row.border());
        }
        out += " >\r\n<COLOR>\r\n<PRIMARY ";
        if (!row.pri_day().empty()) {
            out += attribute("day", "#" + upper(row.pri_day()));
        }
        if (!row.pri_night().empty()) {
            out += attribute("night", "#" + upper(row.pri_night()));
        }
        out += " />\r\n";
        if (!row.border().empty()) {
            out += "<SECONDARY ";
            if (!row.sec_day().empty()) {
                out += attribute("day", "#" + upper(row.sec_day()));
            }
            if (!row.sec_night().empty()) {
                out += attribute("night", "#" + upper(row.sec_night()));
            }
            out += " />\r\n";
        }
        out += "</COLOR>\r\n</STYLE>";
        return out;
    }

    out = "field=\"" + entry + "\" ><color>";
    row.set_border("ff");
    out += "<primary ";
    if (!row.pri_day().empty()) {
        out += attribute("day", "#" + lower(row.pri_day()));
    }
    if (!row.pri_night().empty()) {
        out += attribute("night", "#" + lower(row.pri_night()));
    }
    out += " />";
    out += "<secondary ";
    if (!row.sec_day().empty()) {
        out += attribute("day", "#" + lower(row.sec_day()));
    }
    if (!row.sec_night().empty()) {
        out += attribute("night", "#" + lower(row.sec_night()));
    }
    out += " />";
    out += "</color></style>";
    return out;
}

} // namespace tintwell
