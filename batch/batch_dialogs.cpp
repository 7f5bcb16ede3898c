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

bool BatchDialogs::confirm(runs::Question question, const runs::AnsiString& text) {
    const bool yes =
        question == runs::Question::AllTemplates ? options_.todasPlantillas : options_.quitarSinClases;
    printLines(out_, text);
    out_ << (yes ? "-> Si" : "-> No") << '\n';
    return yes;
}

// The chooser is shown: type the option's text into its box, then refuse a code that names no template
// of the document, so that a typing mistake never converts against the wrong template.
bool BatchDialogs::chooseTemplate(runs::TemplateChooser& chooser) {
    if (options_.plantilla) chooser.setTemplateText(*options_.plantilla);
    const runs::AnsiString code = formats::trimControl(chooser.templateText());
    const auto& known = chooser.templateItems();
    if (std::find(known.begin(), known.end(), code) != known.end()) return true;
    std::string list;
    for (const auto& item : known) list += (list.empty() ? "\"" : ", \"") + item.toUtf8() + "\"";
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
