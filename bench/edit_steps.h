#pragma once

// The step both undo benchmarks take, "Apply to All Presentations" on the first row of an element
// with new colours, and what they report of a history's memory.

#include "bench_themes.h"
#include "model/document.h"
#include "model/document_edit.h"
#include "model/style_apply.h"

#include <benchmark/benchmark.h>
#include <cstdint>
#include <string_view>

namespace tintwell::bench {

/// The edit of an Apply to All on the first row of `field`, colours made from `seed`.
inline DocumentEdit apply_to_all(const Document& doc, std::string_view field, std::uint32_t seed)
{
    int row = 0;
    while (row < doc.row_count() && doc.rows[static_cast<std::size_t>(row)].field_name() != field) {
        ++row;
    }
    AppliedValues values;
    const StyleRow& now = doc.rows[static_cast<std::size_t>(row)];
    values.scale_text = now.scale();
    values.border_text = now.border().empty() ? "0" : now.border();
    values.border_on = !now.border().empty();
    values.pri_day = colour(seed, false);
    values.pri_night = colour(seed + 1, false);
    values.sec_day = colour(seed + 2, false);
    values.sec_night = colour(seed + 3, false);
    values.to_all_presentations = true;
    return style_apply_edit(doc, row, applied_style(doc.kind, now, values), true);
}

/// The counters of a history benchmark: the table's bytes, the history's, and their ratio.
inline void report_history_bytes(benchmark::State& state, long long table, long long steps)
{
    state.counters["table_bytes"] = static_cast<double>(table);
    state.counters["history_bytes"] = static_cast<double>(steps);
    state.counters["history_per_table"] = static_cast<double>(steps) / static_cast<double>(table);
}

} // namespace tintwell::bench
