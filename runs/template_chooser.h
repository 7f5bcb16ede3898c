// The template chooser's behaviour, without widgets: the window's TPlantillas, the batch tool and the
// tests all drive this model by setting its two box texts.
#pragma once

#include <filesystem>
#include <optional>
#include <vector>

#include "formats/dbf.h"
#include "formats/text.h"
#include "formats/workspace.h"
#include "formats/xml.h"

namespace runs {

using formats::AnsiString;

enum class ChooserMode {
    Normal,  // opened by the conversion run
    Export,  // opened by the timetable export run: preselects the template of the existing DIASHORAST
};

class TemplateChooser {
public:
    explicit TemplateChooser(ChooserMode mode);

    // FormActivate. Everything that can fail happens here, before the chooser is shown: in export mode
    // DIASHORAST is opened (and held until finish()) to preselect its template. The chooser reads the
    // run's centre document, which must outlive it, and refreshes.
    void activate(const formats::XmlDocument& centreDocument, const AnsiString& mainWindowLanguage,
                  const formats::Workspace* workspace);

    ChooserMode mode() const { return mode_; }
    // The caption beside the language box (Label9) and the prompt above the template box
    // (LabelPlantillas).
    const AnsiString& languageCaption() const;
    const AnsiString& prompt() const;
    bool languageBoxVisible() const { return mode_ == ChooserMode::Normal; }
    const std::vector<AnsiString>& templateItems() const { return templateItems_; }
    static const std::vector<AnsiString>& languageItems();

    // The two editable boxes. Every change of either runs the refresh.
    const AnsiString& templateText() const { return templateText_; }
    const AnsiString& languageText() const { return languageText_; }
    void setTemplateText(const AnsiString& text);
    void setLanguageText(const AnsiString& text);

    // What the template box names: its description (LabelNombre), its turn (LabelTurno) and its Monday
    // sessions as session list entries (ListBox1).
    const AnsiString& description() const { return description_; }
    const AnsiString& turn() const { return turn_; }
    const std::vector<AnsiString>& sessions() const { return sessions_; }
    // Whether the template box names a template of the document (its text trimmed). Only then may the
    // chooser be confirmed; the note under the box says so otherwise (empty while it does).
    bool templateIsKnown() const;
    AnsiString templateNote() const;
    // Export mode: the template of the existing DIASHORAST; empty when the grid has no rows.
    const AnsiString& gridTemplate() const { return gridTemplate_; }

    // "Continuar" and the close box alike: stores the results and, in export mode, closes DIASHORAST.
    void finish();
    const AnsiString& chosenCode() const { return chosenCode_; }
    const AnsiString& chosenTurn() const { return chosenTurn_; }

private:
    void refresh();

    ChooserMode mode_;
    // The centre document's templates and sessions, selected once at activation.
    std::vector<formats::XmlElement> templates_;
    std::vector<formats::XmlElement> sessionElements_;
    std::optional<formats::DbfTable> grid_;
    std::vector<AnsiString> templateItems_;
    AnsiString templateText_;
    AnsiString languageText_;
    AnsiString description_;
    AnsiString turn_;
    std::vector<AnsiString> sessions_;
    AnsiString chosenCode_;
    AnsiString chosenTurn_;
    AnsiString gridTemplate_;
};

// A session list entry: the order right-aligned in two positions (cut to three characters), " de ", the
// start time, " a ", the end time.
AnsiString sessionEntry(const AnsiString& order, const AnsiString& from, const AnsiString& to);

}  // namespace runs
