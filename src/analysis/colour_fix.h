#pragma once

#include "analysis/colour_edits.h"
#include "analysis/finding_groups.h"
#include "model/document.h"

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

// Mending what the checker finds: for a group of contrast or colour-difference findings, the
// nearest colour to the element's own that meets the rule against every ground of the group.
namespace tintwell {

/// What "Fix" would do to a group, or why it cannot.
struct FixProposal
{
    /// The colours to set, one per row and slot; empty when the group cannot be fixed.
    std::vector<SlotColour> colours;
    /// The colour each of `colours` replaces, in the same order.
    std::vector<colour::Rgb> before;
    /// The worst value of the group's measure before and after (the contrast ratio or colour
    /// difference), against the rule's threshold.
    double worst_before = 0;
    double worst_after = 0;
    double threshold = 0;
    /// The undo step: "Fix ROAD ARTERIAL at night (6 presentations)".
    std::string description;
    /// Why nothing is proposed, when `colours` is empty.
    std::string refusal;

    bool fixable() const { return !colours.empty(); }
};

/// The styles the checker measures in each presentation of a document (the first style of each
/// element a rule knows). It holds while only colours change, so one serves every proposal made
/// on the same rows.
class FixContext
{
public:
    explicit FixContext(const Document& doc);
    /// The measured rows of a presentation, in order; none for an unknown one.
    const std::vector<int>& measured(std::int16_t presentation) const;

private:
    std::unordered_map<std::int16_t, std::vector<int>> m_measured;
};

/// The fix of a group as the document holds it now. The new colour of each style is the one
/// nearest its own (smallest CIEDE2000 change) that reaches the threshold against every ground
/// the group measured it on: lightness moves first with hue and chroma kept; chroma is reduced
/// only when lightness alone cannot reach it. A colour that would make another finding of the
/// element worse than it was is passed over. Structure findings have no fix.
/// `context`, made from `doc` or from a document with the same rows, saves looking at every row.
FixProposal propose_fix(
    const Document& doc, const FindingGroup& group, const FixContext* context = nullptr);

/// The colour nearest `start` that reaches `threshold` of `measure` against every colour of
/// `grounds`, searched as propose_fix searches; nothing when no colour of its hue does.
std::optional<colour::Rgb> nearest_reaching(colour::Rgb start,
    const std::vector<colour::Rgb>& grounds, Measure measure, double threshold,
    colour::Vision vision = colour::Vision::Normal);

/// The proposal as one edit of the document, named by its description.
ColourEdit fix_edit(const Document& doc, const FixProposal& fix);

} // namespace tintwell
