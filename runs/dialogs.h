// Everything a run asks of the person at the screen. The window, the batch tool and the tests each answer
// it their own way; the runs are the same code for all three.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "formats/text.h"

namespace runs {

using formats::AnsiString;
class TemplateChooser;

// The two questions a conversion run may ask, so that a face can answer each from its own setting.
enum class Question {
    AllTemplates,        // take the timetable lines of every template?
    RemoveWithoutClass,  // remove the groups and teachers that have no class?
    IncompleteDocument,  // convert a centre document that lacks whole sections?
    OtherTemplate,       // read the solution with another template than the tables were made for?
};

// The questions that guard the school's data answer "No" to Enter and Esc.
inline bool defaultsToNo(Question question) {
    return question == Question::IncompleteDocument || question == Question::OtherTemplate;
}

class Dialogs {
public:
    virtual ~Dialogs() = default;
    // The open dialog for the centre document; nullopt when cancelled.
    virtual std::optional<std::filesystem::path> openCentreDocument() = 0;
    // A plain message box with the application title and "Aceptar".
    virtual void inform(const AnsiString& text) = 0;
    // The same box with details the user can open (UTF-8): the run's report, the reason of a refusal.
    virtual void informWithDetails(const AnsiString& text, const std::string& details) {
        (void)details;
        inform(text);
    }
    // A confirmation box ("Confirmación", "&Si" / "&No"); true for "&Si".
    virtual bool confirm(Question question, const AnsiString& text) = 0;
    // The modal template chooser over an activated model; the face sets the box texts and confirms.
    // false calls the run off before anything is written (the batch tool refuses an unknown template).
    virtual bool chooseTemplate(TemplateChooser& chooser) = 0;
    // The hourglass cursor.
    virtual void busy(bool on) = 0;
    // A note that is no question (the batch tool prints it on standard error; the window shows none).
    virtual void warn(const AnsiString& text) = 0;
    // The error box for a run that raised; the message is UTF-8.
    virtual void fail(const std::string& message) = 0;
};

}  // namespace runs
