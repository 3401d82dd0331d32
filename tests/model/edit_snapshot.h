#pragma once

#include "model/document.h"
#include "model/document_edit.h"
#include "model/writer.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace tintwell::test {

/// What an edit must give back: the rows, the presentation list, the metadata and the saved bytes.
struct Snapshot
{
    std::vector<StyleRow> rows;
    PresentationList presentations;
    ThemeMetadata metadata;
    std::string bytes;

    explicit Snapshot(const Document& doc)
        : rows(doc.rows)
        , presentations(presentation_list(doc))
        , metadata(doc.metadata)
    {
        Document copy = doc; // the writer fills in missing metadata
        bytes = doc.kind == ThemeKind::CarZumo ? car_zumo_text(copy) : sport_fitness_text(copy);
    }
    bool operator==(const Snapshot&) const = default;
};

/// Readable failures: the bytes as text, the rest as one verdict.
inline void expect_same(const Snapshot& now, const Snapshot& expected, const std::string& what)
{
    EXPECT_EQ(now.bytes, expected.bytes) << what;
    EXPECT_TRUE(now.rows == expected.rows) << what;
    EXPECT_TRUE(now.presentations == expected.presentations) << what;
    EXPECT_TRUE(now.metadata == expected.metadata) << what;
}

} // namespace tintwell::test
