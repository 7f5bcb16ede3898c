#include "runs/run_frame.h"

#include "formats/centre_document.h"
#include "formats/error.h"

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

RunReport endWithMissingInput(MainWindowState& state, Dialogs& dialogs, const AnsiString& message) {
    dialogs.inform(message);
    if (state.embedded) state.resultFlag = -1;
    return RunReport{RunOutcome::InputMissing, {}, {}};
}

RunReport endWithError(Dialogs& dialogs, const std::exception& error) {
    dialogs.busy(false);
    dialogs.fail(error.what());
    return RunReport{RunOutcome::Failed, {}, {}};
}

void endFinished(MainWindowState& state, Dialogs& dialogs, RunReport& report) {
    state.resultFlag = 1;
    dialogs.inform(AnsiString("Proceso finalizado"));
    state.directionButtonsEnabled = false;
    report.outcome = RunOutcome::Finished;
}

}  // namespace runs
