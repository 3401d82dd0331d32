#pragma once

#include <deque>
#include <string>
#include <string_view>
#include <vector>

namespace tintwell {

enum class YesNoCancel { Yes, No, Cancel };

/// Messages and questions of the core. The windows answer with message boxes, the batch command
/// line and the tests with recorders and scripted answers.
class Prompter
{
public:
    virtual ~Prompter() = default;
    /// An OK-only message box with this exact text.
    virtual void message(std::string_view text) = 0;
    /// A Yes/No question; true for Yes.
    virtual bool ask_yes_no(std::string_view text) = 0;
    virtual YesNoCancel ask_yes_no_cancel(std::string_view text) = 0;
};

/// Shows nothing and answers No (and Cancel) to every question.
class SilentPrompter : public Prompter
{
public:
    void message(std::string_view) override { }
    bool ask_yes_no(std::string_view) override { return false; }
    YesNoCancel ask_yes_no_cancel(std::string_view) override { return YesNoCancel::Cancel; }
};

} // namespace tintwell


namespace tintwell {

/// Keeps every message and question in order and answers from a script (No and Cancel once the
/// script is used up). Used by the batch command line and the tests.
class RecordingPrompter : public Prompter
{
public:
    std::vector<std::string> messages;
    std::vector<std::string> questions;
    std::deque<bool> yes_no_answers;
    std::deque<YesNoCancel> yes_no_cancel_answers;

    void message(std::string_view text) override { messages.emplace_back(text); }
    bool ask_yes_no(std::string_view text) override
    {
        questions.emplace_back(text);
        if (yes_no_answers.empty()) {
            return false;
        }
        const bool answer = yes_no_answers.front();
        yes_no_answers.pop_front();
        return answer;
    }
    YesNoCancel ask_yes_no_cancel(std::string_view text) override
    {
        questions.emplace_back(text);
        if (yes_no_cancel_answers.empty()) {
            return YesNoCancel::Cancel;
        }
        const auto answer = yes_no_cancel_answers.front();
        yes_no_cancel_answers.pop_front();
        return answer;
    }
};

} // namespace tintwell
