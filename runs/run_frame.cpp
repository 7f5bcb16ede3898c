#include "runs/run_frame.h"

#include <cstdio>

#include "formats/centre_document.h"
#include "formats/error.h"
#include "formats/files.h"
#include "runs/messages.h"

namespace runs {

namespace centre = formats::centre;

void chooseCentreDocument(MainWindowState& state, Dialogs& dialogs) {
    if (auto chosen = dialogs.openCentreDocument()) state.centreDocumentPath = *chosen;
}

formats::XmlDocument loadCentreDocument(const std::filesystem::path& path,
                                        const std::vector<std::string_view>& requiredRootAttributes) {
    std::optional<formats::XmlDocument> loaded;
    try {
        loaded = formats::XmlDocument::load(path);
    } catch (const formats::Error& notXml) {
        throw formats::Refusal(notXml.what());
    }
    formats::XmlDocument& document = *loaded;
    const auto root = document.root();
    const std::string file =
        "El archivo \"" + formats::shown(path) + "\" no es un documento de centro de ITACA: ";
    if (!root || root->name() != centre::centro::element) {
        throw formats::Refusal(file + "su elemento raíz es \"" + std::string(root ? root->name() : "") +
                               "\" y no \"centro\"");
    }
    for (std::string_view attribute : requiredRootAttributes) {
        if (!root->hasAttribute(attribute)) {
            throw formats::Refusal(file + "a su elemento raíz le falta el atributo \"" +
                                   std::string(attribute) + "\"");
        }
    }
    return std::move(*loaded);
}

std::vector<TableRows> stagedTableRows(const formats::Workspace& workspace) {
    std::vector<TableRows> rows;
    for (const std::string& name : workspace.stagedTables()) {
        formats::DbfTable table = workspace.open(name);
        rows.push_back({name, table.rowCount()});
        table.close();
    }
    return rows;
}

std::string localTimeText() {
    const formats::DateTime t = formats::localDateTime();
    char text[32];
    std::snprintf(text, sizeof text, "%02d/%02d/%04d %02d:%02d:%02d", t.day, t.month, t.year, t.hour,
                  t.minute, t.second);
    return text;
}

std::string reportText(std::string_view run, const RunReport& report) {
    std::string text = "TransTavelinoItaca: " + std::string(run) + ", " + localTimeText() + "\n";
    if (!report.tablesWritten.empty()) {
        text += "\nTablas escritas en la carpeta de trabajo:\n";
        for (const TableRows& t : report.tablesWritten) {
            text += "  " + t.table + ": " + std::to_string(t.rows) + (t.rows == 1 ? " fila\n" : " filas\n");
        }
    }
    if (!report.details.empty()) text += "\n";
    for (const std::string& line : report.details) text += line + "\n";
    text += "\n";
    if (!report.output.empty()) text += "Documento de importación: " + formats::shown(report.output) + "\n";
    text += "Copia de lo sustituido: " + formats::shown(report.backup) + "\n";
    return text;
}

formats::Refusal calledOff() {
    return formats::Refusal("");
}

void showChooser(TemplateChooser& chooser, const formats::XmlDocument& document, const MainWindowState& state,
                 Dialogs& dialogs, const formats::Workspace* workspace) {
    chooser.activate(document, state.languageChoice, workspace);
    const bool chosen = dialogs.chooseTemplate(chooser);
    chooser.finish();
    if (!chosen) throw calledOff();
}

void requireCentreDocument(const std::filesystem::path& path, const AnsiString& message) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    if (fs::is_regular_file(status)) return;
    std::string reason = "No se ha elegido ningún documento de centro.";
    if (!path.empty()) {
        reason = "\"" + formats::shown(path) + "\" " +
                 (!fs::exists(status)        ? "no existe."
                  : fs::is_directory(status) ? "es una carpeta, no un archivo."
                                             : "no es un archivo normal.");
    }
    throw formats::Refusal(message.toUtf8(), reason);
}

RunReport endWithMissingInput(MainWindowState& state, Dialogs& dialogs, const AnsiString& message,
                              const std::string& details) {
    if (!message.empty()) dialogs.informWithDetails(message, details);
    if (state.embedded) state.resultFlag = -1;
    RunReport report;
    report.outcome = RunOutcome::InputMissing;
    return report;
}

RunReport endWithError(Dialogs& dialogs, const std::exception& error) {
    dialogs.busy(false);
    dialogs.fail(error.what());
    return RunReport{};
}

void endFinished(MainWindowState& state, Dialogs& dialogs, RunReport& report) {
    state.resultFlag = 1;
    dialogs.informWithDetails(messages::kFinished, report.text);
    state.directionButtonsEnabled = false;
    report.outcome = RunOutcome::Finished;
}

}  // namespace runs
