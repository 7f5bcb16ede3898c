// Both runs stopped, as by a kill, or failed, as on a full disk, at each of their file operations: the
// work folder and the import document are always all old or all new, and the next run leaves them as a
// clean run would, byte for byte.
#include <gtest/gtest.h>

#include <functional>
#include <regex>

#include "formats/files.h"
#include "formats/literals.h"
#include "formats/workspace.h"
#include "runs/restore_run.h"
#include "tests/support/files.h"
#include "tests/support/scripted_dialogs.h"
#include "to_itaca/timetable_export_run.h"
#include "to_timetable/conversion_run.h"

namespace {

using namespace testing_support;
namespace fs = std::filesystem;
using formats::FileOperations;
using runs::RunOutcome;
using State = std::map<std::string, std::string>;

// The sample school beside its work folder.
struct School {
    TempDir dir;
    fs::path work = dir / "TTEMP";
    fs::path centre = dir / "centro.xml";
    School() {
        fs::create_directory(work);
        fs::copy_file(fs::path(TTI_SAMPLES_DIR) / "centro.xml", centre);
    }
};

RunOutcome convert(School& s, const char* plantilla, const formats::AnsiString& idioma) {
    ScriptedDialogs dialogs;
    dialogs.openAnswers = {s.centre};
    dialogs.typeTemplate = formats::AnsiString(plantilla);
    dialogs.typeLanguage = idioma;
    runs::MainWindowState state;
    return to_timetable::runConversion(state, dialogs, s.work).outcome;
}

RunOutcome exportTimetable(School& s, const char* plantilla) {
    ScriptedDialogs dialogs;
    dialogs.answers[runs::Question::OtherTemplate] = true;
    dialogs.openAnswers = {s.centre};
    dialogs.typeTemplate = formats::AnsiString(plantilla);
    runs::MainWindowState state;
    return to_itaca::runTimetableExport(state, dialogs, s.work).outcome;
}

// A run that is refused at once (the open dialog cancelled): it only takes the folder and puts it right.
void refusedRun(School& s) {
    ScriptedDialogs dialogs;
    runs::MainWindowState state;
    EXPECT_EQ(to_timetable::runConversion(state, dialogs, s.work).outcome, RunOutcome::InputMissing);
}

std::string replaceAll(std::string text, const std::string& from, const std::string& to) {
    for (std::size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size()) {
        text.replace(at, from.size(), to);
    }
    return text;
}

// Everything in the school's folder, with what the time or the school's temporary folder put in it made
// common: backup run folders numbered in order, dates and times masked.
State everything(const School& s) {
    const State files = snapshot(s.dir.path());
    const std::string backups = "TTEMP/CopiasTransTavelinoItaca/";
    std::set<std::string> runFolders;
    for (const auto& [name, bytes] : files) {
        if (name.rfind(backups, 0) == 0 && name.size() > backups.size() && name[backups.size()] != '.') {
            runFolders.insert(name.substr(backups.size(), name.find('/', backups.size()) - backups.size()));
        }
    }
    // Numbered in time order; replaced longest first, since "...-exportar" begins "...-exportar-2".
    std::vector<std::pair<std::string, std::string>> numbered;
    for (const std::string& folder : runFolders)
        numbered.emplace_back(folder, "copia" + std::to_string(numbered.size()));
    std::sort(numbered.begin(), numbered.end(),
              [](const auto& a, const auto& b) { return a.first.size() > b.first.size(); });
    const auto common = [&](std::string text) {
        for (const auto& [folder, number] : numbered) text = replaceAll(text, folder, number);
        text = replaceAll(text, s.dir.path().string(), "<dir>");
        text = std::regex_replace(text, std::regex("fecha_exportacion=\"[^\"]*\""), "fecha_exportacion");
        return std::regex_replace(text, std::regex(R"(\d\d/\d\d/\d{4} \d\d:\d\d:\d\d)"), "<when>");
    };
    State normal;
    for (const auto& [name, bytes] : files) normal[common(name)] = common(bytes);
    return normal;
}

// What the timetable program and ITACA see: the tables and the documents, without a run's own files.
State visible(const State& files) {
    State seen;
    for (const auto& [name, bytes] : files) {
        if (name.find(".transtavelinoitaca") == std::string::npos &&
            name.find(".old-") == std::string::npos && name.find(".tmp-") == std::string::npos) {
            seen[name] = bytes;
        }
    }
    return seen;
}

// The names of the files in which two states differ.
std::string differences(const State& a, const State& b) {
    std::string names;
    for (const auto& [name, bytes] : a) {
        if (!b.count(name) || b.at(name) != bytes) names += " " + name;
    }
    for (const auto& [name, bytes] : b) {
        if (!a.count(name)) names += " +" + name;
    }
    return "differ in:" + names;
}

struct Scenario {
    const char* name;
    std::function<void(School&)> before;  // what earlier runs left
    std::function<RunOutcome(School&)> run;
};

// The conversion replaces tables that a conversion for another template and language wrote, beside an
// index and a table file in another letter case.
const Scenario kConversion{"exportar",
                           [](School& s) {
                               ASSERT_EQ(convert(s, "PL2", formats::literals::kCastellano),
                                         RunOutcome::Finished);
                               writeBytes(s.work / "PROFT.MDX", "index");
                               writeBytes(s.work / "asigt.dbf", "a copy in lower case");
                           },
                           [](School& s) { return convert(s, "PL1", formats::literals::kValencia); }};

// The export rebuilds the grid for another template and replaces an earlier import document.
const Scenario kExport{"importar",
                       [](School& s) {
                           ASSERT_EQ(convert(s, "PL1", formats::literals::kValencia), RunOutcome::Finished);
                           fs::copy_file(fs::path(TTI_SAMPLES_DIR) / "SOLUC.DBF", s.work / "SOLUC.DBF");
                           writeBytes(s.dir / "ResultadoTavelinocentro.xml", "an earlier import document");
                       },
                       [](School& s) { return exportTimetable(s, "PL2"); }};

// Restoring the backup of an export, which gives back the earlier grid and import document.
const Scenario kRestore{"restaurar",
                        [](School& s) {
                            kExport.before(s);
                            ASSERT_EQ(kExport.run(s), RunOutcome::Finished);
                        },
                        [](School& s) {
                            ScriptedDialogs dialogs;
                            runs::MainWindowState state;
                            return runs::runRestore(state, dialogs, s.work, std::nullopt).outcome;
                        }};

std::string operationText(std::size_t n) {
    const auto& log = FileOperations::log();
    if (log.size() < n) return "";
    const char* kinds[] = {"create", "write", "flush", "flush folder", "rename", "remove"};
    return "operation " + std::to_string(n) + ": " + kinds[static_cast<int>(log[n - 1].kind)] + " " +
           log[n - 1].path.filename().string();
}

// Whether the operations before the `n`th passed the commit point: the commit's done mark made. A run that
// goes on after a failure also needs the mark on disk for sure: its folder flushed.
bool commitPointPassed(std::size_t n, bool stop) {
    const auto& log = FileOperations::log();
    bool doneMark = false;
    for (std::size_t i = 0; i + 1 < n && i < log.size(); ++i) {
        if (log[i].kind == FileOperations::Kind::Rename &&
            log[i].path.filename().string().rfind("commit-done.tmp-", 0) == 0) {
            doneMark = true;
            if (stop) return true;
        }
        if (doneMark && log[i].kind == FileOperations::Kind::FlushFolder) return true;
    }
    return false;
}

// Stops (or fails) the run at its 1st, 2nd, ... file operation until it has no more.
void walk(const Scenario& scenario, bool stop) {
    School reference;
    scenario.before(reference);
    const State old = everything(reference);
    ASSERT_EQ(scenario.run(reference), RunOutcome::Finished);
    const State fresh = everything(reference);
    ASSERT_NE(visible(old), visible(fresh));

    for (std::size_t n = 1;; ++n) {
        School s;
        scenario.before(s);
        stop ? FileOperations::arm(0, n) : FileOperations::arm(n, 0);
        RunOutcome outcome = RunOutcome::Failed;
        try {
            outcome = scenario.run(s);
        } catch (const FileOperations::Stopped&) {
        }
        const std::string operation = operationText(n);
        const bool committed = commitPointPassed(n, stop);
        FileOperations::disarm();
        if (operation.empty()) break;  // the run has fewer operations: every one was tried
        SCOPED_TRACE(std::string(scenario.name) + (stop ? ", stopped at " : ", failing ") + operation);
        const State& expected = committed ? fresh : old;

        if (!stop) {
            // A failure before the commit point is reported and undone at once; after it, it is no failure.
            EXPECT_EQ(outcome, committed ? RunOutcome::Finished : RunOutcome::Failed);
            const State now = everything(s);
            EXPECT_TRUE((committed ? visible(now) : now) == (committed ? visible(fresh) : old))
                << differences(now, expected);
        }
        refusedRun(s);
        EXPECT_TRUE(everything(s) == expected) << differences(everything(s), expected);
    }
}

TEST(InterruptedRuns, AKilledRunIsUndoneOrFinishedByTheNextRun) {
    walk(kConversion, true);
    walk(kExport, true);
    walk(kRestore, true);
}

TEST(InterruptedRuns, ARunOnAFullDiskFailsAndLeavesEverythingAsItWas) {
    walk(kConversion, false);
    walk(kExport, false);
    walk(kRestore, false);
}

// The staged tables reach the disk once, at the commit, and the renames are made durable by flushing the
// folders they were made in before the commit's done mark.
TEST(InterruptedRuns, ACommitFlushesEachFileOnceAndItsFoldersBeforeTheDoneMark) {
    School s;
    kExport.before(s);
    FileOperations::arm(0, 0);  // only the log
    ASSERT_EQ(kExport.run(s), RunOutcome::Finished);
    const auto log = FileOperations::log();
    FileOperations::disarm();

    std::map<fs::path, int> flushes;
    std::size_t lastRename = 0, done = 0;
    for (std::size_t i = 0; i < log.size(); ++i) {
        const std::string name = log[i].path.filename().string();
        if (log[i].kind == FileOperations::Kind::Flush) ++flushes[log[i].path];
        if (done) continue;
        if (log[i].kind == FileOperations::Kind::Rename && name.rfind("commit-", 0) != 0) lastRename = i;
        if (log[i].kind == FileOperations::Kind::Create && name.rfind("commit-done", 0) == 0) done = i;
    }
    ASSERT_GT(done, lastRename);
    const std::string pid = std::to_string(formats::currentProcessId());
    for (const auto& [path, count] : flushes) {
        EXPECT_EQ(count, 1) << path;
        EXPECT_EQ(path.string().find(".DBF.tmp-"), std::string::npos) << "a table flushed at its close";
    }
    EXPECT_TRUE(flushes.count(s.work / (".transtavelinoitaca-" + pid) / "DIASHORAST.DBF"));
    EXPECT_TRUE(flushes.count(s.dir / ("ResultadoTavelinocentro.xml.tmp-" + pid)));
    std::set<fs::path> flushedFolders;
    for (std::size_t i = lastRename; i < done; ++i) {
        if (log[i].kind == FileOperations::Kind::FlushFolder) flushedFolders.insert(log[i].path);
    }
    EXPECT_EQ(flushedFolders, (std::set<fs::path>{s.work, s.dir.path()}));
}

TEST(InterruptedRuns, ASecondRunOnAWorkFolderInUseIsRefusedAndChangesNothing) {
    School s;
    kExport.before(s);
    const State before = everything(s);
    {
        formats::Workspace held(s.work);
        ScriptedDialogs dialogs;
        dialogs.openAnswers = {s.centre};
        runs::MainWindowState state;
        EXPECT_EQ(to_timetable::runConversion(state, dialogs, s.work).outcome, RunOutcome::InputMissing);
        EXPECT_EQ(
            dialogs.informed,
            (std::vector<std::string>{"La carpeta de trabajo está en uso por otra conversión (proceso " +
                                      std::to_string(formats::currentProcessId()) + ")."}));
        EXPECT_TRUE(dialogs.choosers.empty());
    }
    EXPECT_EQ(everything(s), before);
}

}  // namespace
