// What the main window keeps between runs.
#pragma once

#include <filesystem>
#include <vector>

#include "formats/literals.h"
#include "formats/text.h"

namespace runs {

using formats::AnsiString;

struct MainWindowState {
    std::filesystem::path centreDocumentPath;  // the file chosen last in either direction
    AnsiString templateCode;
    AnsiString templateTurn;
    std::vector<AnsiString> sessionList;                       // the hidden ListBoxPlanti
    AnsiString languageChoice = formats::literals::kValencia;  // the text of ComboBoxValCast
    bool embedded = false;
    int resultFlag = 0;  // 0 nothing done, 1 a run finished, -1 input missing (embedded mode)
    bool directionButtonsEnabled = true;
};

// How a run ended; the face decides what its window or exit code does with it.
enum class RunOutcome {
    Finished,
    InputMissing,  // no file, a refused document or a refused choice: nothing was read or written
    Failed,        // an error of the XML or table layer: the work folder is as it was
};

}  // namespace runs
