// A Dialogs that plays a script: the open dialog's answers, the texts typed into the chooser, the answers
// to the questions; and that records everything the run showed.
#pragma once

#include <deque>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "runs/dialogs.h"
#include "runs/template_chooser.h"

namespace testing_support {

struct ChooserSeen {
    std::vector<std::string> items;
    std::string templateText, description, turn;
    std::vector<std::string> sessions;
};

class ScriptedDialogs : public runs::Dialogs {
public:
    std::deque<std::optional<std::filesystem::path>> openAnswers;  // nullopt: cancelled
    std::optional<runs::AnsiString> typeTemplate, typeLanguage;
    std::map<runs::Question, bool> answers;
    bool callOff = false;

    std::vector<std::string> informed, warnings, failures, questions;
    std::vector<ChooserSeen> choosers;
    bool busyNow = false;

    std::optional<std::filesystem::path> openCentreDocument() override {
        if (openAnswers.empty()) return std::nullopt;
        auto answer = openAnswers.front();
        openAnswers.pop_front();
        return answer;
    }
    void inform(const runs::AnsiString& text) override { informed.push_back(text.toUtf8()); }
    bool confirm(runs::Question question, const runs::AnsiString& text) override {
        questions.push_back(text.toUtf8());
        return answers.count(question) ? answers[question] : false;
    }
    bool chooseTemplate(runs::TemplateChooser& chooser) override {
        if (typeLanguage) chooser.setLanguageText(*typeLanguage);
        if (typeTemplate) chooser.setTemplateText(*typeTemplate);
        ChooserSeen seen;
        for (const auto& item : chooser.templateItems()) seen.items.push_back(item.toUtf8());
        seen.templateText = chooser.templateText().toUtf8();
        seen.description = chooser.description().toUtf8();
        seen.turn = chooser.turn().toUtf8();
        for (const auto& s : chooser.sessions()) seen.sessions.push_back(s.toUtf8());
        choosers.push_back(seen);
        return !callOff;
    }
    void busy(bool on) override { busyNow = on; }
    void warn(const runs::AnsiString& text) override { warnings.push_back(text.toUtf8()); }
    void fail(const std::string& message) override { failures.push_back(message); }
};

}  // namespace testing_support
