// The batch tool's command line. These options and the exit codes are a contract: other tools call it.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <variant>

#include "formats/text.h"

namespace batch {

enum class Direction { Exportar, Importar, Restaurar };

struct Options {
    Direction direction = Direction::Exportar;
    std::filesystem::path centreDocument;
    std::optional<std::filesystem::path> workDir;
    std::optional<formats::AnsiString> plantilla;  // typed into the chooser's template box
    formats::AnsiString idioma;                    // the main window's language box before the run
    bool todasPlantillas = false;                  // "&Si" to the several-templates question
    bool quitarSinClases = false;                  // "&Si" to the pruning question
    bool documentoIncompleto = false;              // "&Si" to converting a document that lacks sections
    std::optional<std::string> copia;              // restaurar: the backup to put back (the newest without)
    bool listar = false;                           // restaurar: only list the backups
};

enum ExitCode { kFinished = 0, kInputMissing = 1, kUsage = 2, kRunError = 3 };

struct ShowHelp {};
struct ShowVersion {};
struct UsageError {
    std::string message;
};
using ParseResult = std::variant<Options, ShowHelp, ShowVersion, UsageError>;

ParseResult parseOptions(int argc, const char* const* argv);
const char* usageText();

}  // namespace batch
