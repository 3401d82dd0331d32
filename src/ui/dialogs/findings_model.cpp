#include "ui/dialogs/findings_model.h"

namespace tintwell {

SampleMark mark_of(Severity severity)
{
    switch (severity) {
    case Severity::Error:
        return SampleMark::Error;
    case Severity::Warning:
        return SampleMark::Warning;
    case Severity::Info:
        break;
    }
    return SampleMark::Info;
}

int rule_index(const LintRule* rule)
{
    return static_cast<int>(rule - lint_rules().data());
}

} // namespace tintwell
