// TransTavelinoItaca-batch: the window's runs without a window, for scripts, tests and IT staff.
#include <cstdlib>
#include <iostream>

#include "batch/batch_dialogs.h"
#include "batch/options.h"
#include "formats/workspace.h"
#include "runs/restore_run.h"
#include "to_itaca/timetable_export_run.h"
#include "to_timetable/conversion_run.h"

namespace {

std::filesystem::path workFolder(const batch::Options& options) {
    if (options.workDir) return *options.workDir;
    const char* prefix = std::getenv("WINEPREFIX");
    const char* home = std::getenv("HOME");
    return formats::defaultWorkFolder(prefix ? std::optional<std::string>(prefix) : std::nullopt,
                                      home ? home : "");
}

// restaurar --listar: the backups, newest first.
int listBackups(const std::filesystem::path& folder) {
    try {
        const std::string listing = runs::backupListing(folder);
        if (listing.empty()) {
            std::cout << "No hay ninguna copia en \"" << formats::shown(folder) << "\"\n";
            return batch::kInputMissing;
        }
        std::cout << listing;
        return batch::kFinished;
    } catch (const std::exception& e) {
        std::cerr << e.what() << '\n';
        return batch::kRunError;
    }
}

int run(const batch::Options& options) {
    const std::filesystem::path folder = workFolder(options);
    if (options.direction == batch::Direction::Restaurar && options.listar) return listBackups(folder);
    batch::BatchDialogs dialogs(options, std::cout, std::cerr);
    runs::MainWindowState state;
    state.languageChoice = options.idioma;
    runs::RunReport report;
    switch (options.direction) {
        case batch::Direction::Exportar:
            report = to_timetable::runConversion(state, dialogs, folder);
            break;
        case batch::Direction::Importar:
            report = to_itaca::runTimetableExport(state, dialogs, folder);
            break;
        case batch::Direction::Restaurar:
            report = runs::runRestore(state, dialogs, folder, options.copia);
            break;
    }
    switch (report.outcome) {
        case runs::RunOutcome::InputMissing:
            return batch::kInputMissing;
        case runs::RunOutcome::Failed:
            return batch::kRunError;
        case runs::RunOutcome::Finished:
            break;
    }
    return batch::kFinished;
}

}  // namespace

int main(int argc, char** argv) {
    const batch::ParseResult parsed = batch::parseOptions(argc, argv);
    if (std::holds_alternative<batch::ShowHelp>(parsed)) {
        std::cout << batch::usageText();
        return batch::kFinished;
    }
    if (std::holds_alternative<batch::ShowVersion>(parsed)) {
        std::cout << "TransTavelinoItaca-batch " TTI_VERSION "\n";
        return batch::kFinished;
    }
    if (const auto* error = std::get_if<batch::UsageError>(&parsed)) {
        std::cerr << "TransTavelinoItaca-batch: " << error->message << "\n\n" << batch::usageText();
        return batch::kUsage;
    }
    return run(std::get<batch::Options>(parsed));
}
