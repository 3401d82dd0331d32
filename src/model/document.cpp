#include "model/document.h"

namespace tintwell {

namespace {
SilentPrompter silent_prompter;
ThemeView null_view;
} // namespace

Document::Document()
    : m_prompter(&silent_prompter)
    , m_view(&null_view)
{
}

void Document::attach(Prompter* prompter, ThemeView* view)
{
    m_prompter = prompter ? prompter : &silent_prompter;
    m_view = view ? view : &null_view;
}

} // namespace tintwell
