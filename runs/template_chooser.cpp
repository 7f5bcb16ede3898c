#include "runs/template_chooser.h"

#include <algorithm>

#include "formats/centre_document.h"
#include "formats/literals.h"
#include "runs/messages.h"

namespace runs {
namespace {

namespace centre = formats::centre;
namespace literals = formats::literals;

const AnsiString kNone = AnsiString("-");
const AnsiString kMonday = AnsiString("L");

}  // namespace

AnsiString sessionEntry(const AnsiString& order, const AnsiString& from, const AnsiString& to) {
    AnsiString number = order.substr(0, 3);
    if (number.size() == 1) number = AnsiString(" ") + number;
    return number + AnsiString(" de ") + from + AnsiString(" a ") + to;
}

TemplateChooser::TemplateChooser(ChooserMode mode) : mode_(mode), description_(kNone), turn_(kNone) {}

const AnsiString& TemplateChooser::languageCaption() const {
    return mode_ == ChooserMode::Export ? messages::kExportCaption : messages::kLanguageCaption;
}

const AnsiString& TemplateChooser::prompt() const {
    return mode_ == ChooserMode::Export ? messages::kExportPrompt : messages::kPrompt;
}

const std::vector<AnsiString>& TemplateChooser::languageItems() {
    static const std::vector<AnsiString> items = {literals::kValencia, literals::kCastellano};
    return items;
}

void TemplateChooser::activate(const formats::XmlDocument& centreDocument,
                               const AnsiString& mainWindowLanguage, const formats::Workspace* workspace) {
    if (mode_ == ChooserMode::Export) {
        grid_ = workspace->open(formats::tables::DIASHORAST().name);
        const formats::RecNo first = grid_->firstRow();
        gridTemplate_ = first ? grid_->text(first, "PLANTILLA") : AnsiString();
        chosenCode_ = gridTemplate_;
    }
    languageText_ = mainWindowLanguage;
    templates_ = centreDocument.select(centre::plantilla_horario::path);
    sessionElements_ = centreDocument.select(centre::sesion_horario::path);
    for (const auto& t : templates_) templateItems_.push_back(t.attribute(centre::plantilla_horario::codigo));
    if (mode_ == ChooserMode::Export) {
        templateText_ = chosenCode_;
    } else if (!templateItems_.empty()) {
        templateText_ = templateItems_.front();
    }
    refresh();
}

void TemplateChooser::setTemplateText(const AnsiString& text) {
    templateText_ = text;
    refresh();
}

void TemplateChooser::setLanguageText(const AnsiString& text) {
    languageText_ = text;
    refresh();
}

// The key is the template box's text as it stands, untrimmed: a code typed with a blank after it
// matches nothing.
void TemplateChooser::refresh() {
    const AnsiString& key = templateText_;
    description_ = kNone;
    turn_ = kNone;
    for (const auto& t : templates_) {
        if (t.attribute(centre::plantilla_horario::codigo) != key) continue;
        description_ =
            t.attribute(languageText_ == literals::kValencia ? centre::plantilla_horario::descripcion_val
                                                             : centre::plantilla_horario::descripcion_cas);
        turn_ = t.attribute(centre::plantilla_horario::turno);
    }
    sessions_.clear();
    for (const auto& s : sessionElements_) {
        if (s.attribute(centre::sesion_horario::plantilla) != key) continue;
        if (s.attribute(centre::sesion_horario::dia_semana) != kMonday) continue;
        sessions_.push_back(sessionEntry(s.attribute(centre::sesion_horario::sesion_orden),
                                         s.attribute(centre::sesion_horario::hora_desde),
                                         s.attribute(centre::sesion_horario::hora_hasta)));
    }
    // Ascending text order: a blank sorts before any digit, so orders 1 to 99 come in numeric order.
    std::stable_sort(sessions_.begin(), sessions_.end());
}

bool TemplateChooser::templateIsKnown() const {
    const AnsiString code = formats::trimControl(templateText_);
    return std::find(templateItems_.begin(), templateItems_.end(), code) != templateItems_.end();
}

AnsiString TemplateChooser::templateNote() const {
    return templateIsKnown() ? AnsiString() : messages::kUnknownTemplateNote;
}

void TemplateChooser::finish() {
    if (grid_) {
        formats::DbfTable grid = std::move(*grid_);
        grid_.reset();
        grid.close();
    }
    chosenCode_ = formats::trimControl(templateText_);
    chosenTurn_ = turn_;
}

}  // namespace runs
