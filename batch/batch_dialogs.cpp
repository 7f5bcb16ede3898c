#include "batch/batch_dialogs.h"

#include <algorithm>
#include <ostream>

#include "runs/template_chooser.h"

namespace batch {

void printLines(std::ostream& out, const runs::AnsiString& text) {
    std::string utf8 = text.toUtf8();
    utf8.erase(std::remove(utf8.begin(), utf8.end(), '\r'), utf8.end());
    out << utf8 << '\n';
}

void BatchDialogs::inform(const runs::AnsiString& text) {
    printLines(out_, text);
}

// The questions are answered from the options. Those that guard the school's data refuse the run when
// the option is missing: their text then goes to standard error, as the reason of the refusal.
// The details follow on their own: the report after a blank line, a refusal's reason on the next line.
void BatchDialogs::informWithDetails(const runs::AnsiString& text, const std::string& details) {
    printLines(out_, text);
    if (details.empty()) return;
    if (details.find('\n') != std::string::npos) out_ << '\n';
    out_ << details << (details.back() == '\n' ? "" : "\n");
}

bool BatchDialogs::confirm(runs::Question question, const runs::AnsiString& text) {
    bool yes = false;
    switch (question) {
        case runs::Question::AllTemplates:
            yes = options_.todasPlantillas;
            break;
        case runs::Question::RemoveWithoutClass:
            yes = options_.quitarSinClases;
            break;
        case runs::Question::IncompleteDocument:
            yes = options_.documentoIncompleto;
            break;
        case runs::Question::OtherTemplate:
            // Only a template given by --plantilla is taken over the tables' own, and not without a word.
            yes = options_.plantilla.has_value();
            if (yes) printLines(err_, runs::AnsiString::fromUtf8("aviso: ") + text);
            break;
    }
    if (runs::defaultsToNo(question) && !yes) {
        printLines(err_, text);
        return false;
    }
    if (question != runs::Question::OtherTemplate) {
        printLines(out_, text);
        out_ << (yes ? "-> Si" : "-> No") << '\n';
    }
    return yes;
}

// The chooser is shown: type the option's text into its box, then refuse a code that names no template
// of the document, so that a typing mistake never converts against the wrong template.
bool BatchDialogs::chooseTemplate(runs::TemplateChooser& chooser) {
    if (options_.plantilla) chooser.setTemplateText(*options_.plantilla);
    if (chooser.templateIsKnown()) return true;
    const runs::AnsiString code = formats::trimControl(chooser.templateText());
    std::string list;
    for (const auto& item : chooser.templateItems())
        list += (list.empty() ? "\"" : ", \"") + item.toUtf8() + "\"";
    err_ << "La plantilla \"" << code.toUtf8()
         << "\" no existe en el documento de centro; sus plantillas son: " << list << '\n';
    return false;
}

void BatchDialogs::warn(const runs::AnsiString& text) {
    printLines(err_, text);
}

void BatchDialogs::fail(const std::string& message) {
    err_ << message << '\n';
}

}  // namespace batch
