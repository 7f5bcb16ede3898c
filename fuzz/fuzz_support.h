// What the fuzz targets share: a scratch folder per process, snapshots, a Dialogs that answers without
// asking, and the promises every run keeps, checked after each input.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>

#include "formats/centre_document.h"
#include "formats/dbf.h"
#include "formats/error.h"
#include "formats/files.h"
#include "formats/xml.h"
#include "runs/dialogs.h"
#include "runs/main_window_state.h"
#include "runs/run_frame.h"
#include "runs/template_chooser.h"
#include "to_itaca/timetable_export_run.h"
#include "to_timetable/conversion_run.h"

namespace fuzzing {

namespace fs = std::filesystem;
using Snapshot = std::map<std::string, std::string>;

// A broken promise: the input that shows it becomes a crash file of libFuzzer.
[[noreturn]] inline void broken(const std::string& what) {
    std::fprintf(stderr, "broken promise: %s\n", what.c_str());
    std::abort();
}

inline void require(bool holds, const std::string& what) {
    if (!holds) broken(what);
}

// A folder of this process, emptied for each input (in memory when /dev/shm exists).
inline const fs::path& scratch() {
    static const fs::path folder = [] {
        const fs::path base = fs::exists("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
        return base / ("tti-fuzz-" + std::to_string(formats::currentProcessId()));
    }();
    return folder;
}

inline fs::path freshScratch() {
    fs::remove_all(scratch());
    fs::create_directories(scratch());
    return scratch();
}

inline void writeFile(const fs::path& path, const std::string& bytes) {
    formats::writeFile(path, bytes);
}

// Every file below `folder` with its bytes.
inline Snapshot snapshot(const fs::path& folder) {
    Snapshot files;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        files[fs::relative(entry.path(), folder).string()] =
            entry.is_regular_file() ? formats::readWholeFile(entry.path()) : "<dir>";
    }
    return files;
}

// Opens the given document and takes the preselected template.
class QuietDialogs : public runs::Dialogs {
public:
    explicit QuietDialogs(fs::path document) : document_(std::move(document)) {}
    std::optional<fs::path> openCentreDocument() override { return document_; }
    void inform(const runs::AnsiString&) override {}
    // "No" to the conversion's two questions; "Si" to those that guard the work folder, to go further.
    bool confirm(runs::Question question, const runs::AnsiString&) override {
        return runs::defaultsToNo(question);
    }
    bool chooseTemplate(runs::TemplateChooser&) override { return true; }
    void busy(bool) override {}
    void warn(const runs::AnsiString&) override {}
    void fail(const std::string&) override {}

private:
    fs::path document_;
};

// The run's promise on the folders it touches: a run that did not finish left them as they were.
inline void requireUnchangedUnlessFinished(runs::RunOutcome outcome, const Snapshot& before,
                                           const fs::path& folder, const char* run) {
    if (outcome != runs::RunOutcome::Finished) {
        require(snapshot(folder) == before, std::string(run) + " did not finish but changed the folder");
    }
}

inline runs::RunOutcome convert(const fs::path& centre, const fs::path& work) {
    QuietDialogs dialogs(centre);
    runs::MainWindowState state;
    return to_timetable::runConversion(state, dialogs, work).outcome;
}

// A solved timetable made from the assignments the conversion wrote: each placed on a day and an hour
// that follow its row number, every fifth left unplaced.
inline void writeSolutionFromAssignments(const fs::path& work) {
    formats::DbfTable assignments = formats::DbfTable::open(work / "ASIGT.DBF");
    formats::DbfTable solution = formats::DbfTable::create(
        work / "SOLUC.DBF", {formats::FieldDef::text("ASIG", 10), formats::FieldDef::text("TAREA", 10),
                             formats::FieldDef::integer("DIA"), formats::FieldDef::integer("HORA"),
                             formats::FieldDef::text("CODGRUPO", 10), formats::FieldDef::text("PROF", 10),
                             formats::FieldDef::text("AULA", 10)});
    for (formats::RecNo a : assignments.rows()) {
        const formats::RecNo s = solution.append();
        solution.setText(s, "ASIG", assignments.text(a, "CASIG"));
        solution.setText(s, "TAREA", assignments.text(a, "CTAREA"));
        solution.setInteger(s, "DIA", a % 5 == 0 ? 0 : 1 + a % 7);
        solution.setInteger(s, "HORA", 1 + a % 9);
        solution.setText(s, "CODGRUPO", assignments.text(a, "CGRUP"));
        solution.setText(s, "PROF", assignments.text(a, "CPROF"));
        solution.setText(s, "AULA", assignments.text(a, "CAULA"));
    }
    assignments.close();
    solution.close();
}

// Every session of the import document is a row of the grid it was committed with.
inline void requireDocumentAgreesWithGrid(const fs::path& document, const fs::path& work) {
    namespace centre = formats::centre;
    std::optional<formats::XmlDocument> written;
    try {
        written = formats::XmlDocument::load(document);
    } catch (const formats::Error& e) {
        broken(std::string("the import document cannot be read back: ") + e.what());
    }
    formats::DbfTable grid = formats::DbfTable::open(*formats::findCaseInsensitive(work, "DIASHORAST.DBF"));
    for (std::string_view path : {centre::horario_grupo::path, centre::horario_ocupacion::path}) {
        for (const formats::XmlElement& session : written->select(path)) {
            const auto row = grid.locate({{"PLANTILLA", session.attribute("plantilla")},
                                          {"SESION_ORDEN", session.attribute("sesion_orden")},
                                          {"HORADESDE", session.attribute("hora_desde")},
                                          {"HORAHASTA", session.attribute("hora_hasta")}});
            require(row.has_value(), "a session of the import document is not in the grid");
        }
    }
    grid.close();
}

// The export run over `work` and the centre document in `folder`, with its promises checked.
inline void exportAndCheck(const fs::path& folder, const fs::path& centre, const fs::path& work) {
    const Snapshot before = snapshot(folder);
    QuietDialogs dialogs(centre);
    runs::MainWindowState state;
    const runs::RunReport report = to_itaca::runTimetableExport(state, dialogs, work);
    requireUnchangedUnlessFinished(report.outcome, before, folder, "importar");
    if (report.outcome == runs::RunOutcome::Finished) requireDocumentAgreesWithGrid(report.output, work);
}

}  // namespace fuzzing
