#include "formats/workspace.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include "formats/backups.h"
#include "formats/error.h"
#include "tests/support/files.h"

namespace formats {
namespace {

namespace fs = std::filesystem;
using testing_support::readBytes;
using testing_support::snapshot;
using testing_support::TempDir;
using testing_support::writeBytes;

const TableLayout kOne{"ONE", {FieldDef::text("V", 8)}};
const TableLayout kTwo{"TWO", {FieldDef::text("V", 8)}};
const TableLayout kThree{"THREE", {FieldDef::text("V", 8)}};

void writeTable(Workspace& ws, const TableLayout& layout, const char* value) {
    DbfTable t = ws.create(layout);
    t.setText(t.append(), "V", AnsiString(std::string(value)));
    t.close();
}

std::string valueIn(const fs::path& path) {
    DbfTable t = DbfTable::open(path);
    std::string v = t.text(1, "V").bytes();
    t.close();
    return v;
}

// A work folder holding tables written by an earlier run, with indexes and letter-case variants.
struct WorkFolder {
    TempDir dir;
    fs::path folder = dir / "TTEMP";
    WorkFolder() {
        fs::create_directory(folder);
        Workspace ws(folder);
        writeTable(ws, kOne, "old1");
        writeTable(ws, kTwo, "old2");
        writeTable(ws, kThree, "old3");
        ws.commit({"prueba", {}});
        writeBytes(folder / "ONE.MDX", "index");
        writeBytes(folder / "two.mdx", "index");
        writeBytes(folder / "two.dbf", "a stale lower-case copy");
        writeBytes(folder / "OTHER.TXT", "not ours");
    }
};

long deadProcessId() {
    const pid_t child = ::fork();
    if (child == 0) ::_exit(0);
    ::waitpid(child, nullptr, 0);
    return child;
}

// The files directly in the work folder, the backups aside.
std::vector<std::string> namesIn(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (entry.path().filename() != kBackupsFolder) names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

TEST(Workspace, CommitReplacesTablesAndRemovesTheirIndexesInAnyLetterCase) {
    WorkFolder wf;
    const auto before = snapshot(wf.folder);
    Committed committed;
    {
        Workspace ws(wf.folder);
        writeTable(ws, kTwo, "new2");
        writeTable(ws, kOne, "new1");
        EXPECT_EQ(valueIn(*ws.find("ONE")), "new1");  // later steps read the staged version
        EXPECT_EQ(valueIn(wf.folder / "ONE.DBF"), "old1");
        writeTable(ws, TableLayout{"FOUR", {FieldDef::text("V", 8)}}, "new4");
        committed = ws.commit({"prueba", [](const fs::path& runFolder) {
                                   return "informe de " + runFolder.filename().string();
                               }});
    }
    EXPECT_EQ(namesIn(wf.folder),
              (std::vector<std::string>{"FOUR.DBF", "ONE.DBF", "OTHER.TXT", "THREE.DBF", "TWO.DBF"}));
    EXPECT_EQ(committed.tables, (std::vector<std::string>{"TWO", "ONE", "FOUR"}));

    // What was replaced is kept byte for byte, with the run's report and the list of what it did.
    EXPECT_EQ(runFolders(wf.folder).front(), committed.backup);
    EXPECT_EQ(
        snapshot(committed.backup),
        (std::map<std::string, std::string>{
            {"ONE.DBF", before.at("ONE.DBF")},
            {"ONE.MDX", "index"},
            {"TWO.DBF", before.at("TWO.DBF")},
            {"two.dbf", "a stale lower-case copy"},
            {"two.mdx", "index"},
            {"informe.txt", "informe de " + committed.backup.filename().string()},
            {"copia.txt",
             "sustituido\tTWO.DBF\tTWO.DBF\nsustituido\ttwo.dbf\ttwo.dbf\nsustituido\ttwo.mdx\ttwo.mdx\n"
             "sustituido\tONE.DBF\tONE.DBF\nsustituido\tONE.MDX\tONE.MDX\ncreado\tFOUR.DBF\n"}}));
    EXPECT_EQ(valueIn(wf.folder / "ONE.DBF"), "new1");
    EXPECT_EQ(valueIn(wf.folder / "TWO.DBF"), "new2");
    EXPECT_EQ(valueIn(wf.folder / "THREE.DBF"), "old3");
}

TEST(Workspace, ARunThatFailsLeavesTheWorkFolderAsItWas) {
    WorkFolder wf;
    const auto before = snapshot(wf.folder);
    try {
        Workspace ws(wf.folder);
        writeTable(ws, kOne, "new1");
        DbfTable half = ws.create(kTwo);
        half.append();
        throw Error("a step failed");
    } catch (const Error&) {
    }
    EXPECT_EQ(snapshot(wf.folder), before);
}

TEST(Workspace, ACommitWhoseThirdRenameFailsIsUndone) {
    WorkFolder wf;
    const auto before = snapshot(wf.folder);
    {
        Workspace ws(wf.folder);
        writeTable(ws, kOne, "new1");
        writeTable(ws, kThree, "new3");
        writeTable(ws, kTwo, "new2");
        // Renames in order: ONE.DBF and ONE.MDX aside, the new ONE.DBF in, then THREE.DBF aside: a folder
        // standing where THREE.DBF would be moved makes that rename fail.
        const fs::path blocker = wf.folder / ("THREE.DBF.old-" + std::to_string(::getpid()));
        fs::create_directory(blocker);
        writeBytes(blocker / "x", "x");
        try {
            ws.commit({"prueba", {}});
            FAIL() << "commit succeeded";
        } catch (const Error& e) {
            EXPECT_NE(std::string(e.what()).find("THREE.DBF"), std::string::npos) << e.what();
        }
        fs::remove_all(blocker);
    }
    EXPECT_EQ(snapshot(wf.folder), before);
}

// Replaced tables whose staging folder is gone come back when nothing took their place; temporary files
// of processes that no longer run are removed, those of a running process stay.
TEST(Workspace, LeftoversWithoutAStagingFolderArePutRight) {
    WorkFolder wf;
    const auto before = snapshot(wf.folder);
    const std::string dead = std::to_string(deadProcessId());
    fs::rename(wf.folder / "ONE.DBF", wf.folder / ("ONE.DBF.old-" + dead));
    writeBytes(wf.folder / ("THREE.DBF.old-" + dead), "replaced by the THREE.DBF in place");
    writeBytes(wf.folder / ("TWO.DBF.tmp-" + dead), "half a table");
    writeBytes(wf.folder / "TWO.DBF.tmp-1", "a table that process 1 is writing");
    { Workspace ws(wf.folder); }
    auto expected = before;
    expected["TWO.DBF.tmp-1"] = "a table that process 1 is writing";
    EXPECT_EQ(snapshot(wf.folder), expected);
}

// A message about a staged table names the table where the user will look for it, not the staging folder.
TEST(Workspace, MessagesNameAStagedTableByItsPlaceInTheWorkFolder) {
    WorkFolder wf;
    Workspace ws(wf.folder);
    writeTable(ws, kOne, "new1");
    for (auto* use : {+[](Workspace& w) { (void)w.open("ONE").text(1, "NADA"); },
                      +[](Workspace& w) { w.create(kOne).setText(1, "V", AnsiString("x")); }}) {
        try {
            use(ws);
            FAIL();
        } catch (const Error& e) {
            EXPECT_NE(std::string(e.what()).find("\"" + (wf.folder / "ONE.DBF").string() + "\""),
                      std::string::npos)
                << e.what();
        }
    }
}

TEST(Workspace, FindsTheFolderAndItsTablesWhateverTheLetterCase) {
    TempDir dir;
    fs::create_directory(dir / "ttemp");
    writeBytes(dir / "ttemp" / "soluc.dbf", "x");
    Workspace ws(dir / "TTEMP");
    EXPECT_EQ(ws.folder(), dir / "ttemp");
    EXPECT_EQ(ws.find("SOLUC"), dir / "ttemp" / "soluc.dbf");
    EXPECT_EQ(ws.find("PROFT"), std::nullopt);
    try {
        ws.open("PROFT");
        FAIL();
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find("PROFT"), std::string::npos);
    }
}

// 0 when a read-only work folder refuses a new table with a message naming it and stays empty.
int readOnlyFolderRefuses(const fs::path& base) {
    const fs::path folder = base / "ro";
    fs::create_directory(folder);
    fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec);
    try {
        Workspace ws(folder);
        ws.create(kOne);
        return 1;
    } catch (const Error& e) {
        if (std::string(e.what()).find(folder.string()) == std::string::npos) return 2;
    }
    return snapshot(folder).empty() ? 0 : 3;
}

TEST(Workspace, AMissingOrReadOnlyFolderIsAClearError) {
    TempDir dir;
    try {
        Workspace ws(dir / "nowhere");
        FAIL();
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find((dir / "nowhere").string()), std::string::npos);
    }
    if (::geteuid() != 0) {
        EXPECT_EQ(readOnlyFolderRefuses(dir.path()), 0);
        return;
    }
    // Permissions do not stop root: the check runs in a child process as an ordinary user.
    fs::permissions(dir.path(), fs::perms::all);
    const pid_t child = ::fork();
    if (child == 0) {
        if (::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(10);
        const fs::path base = dir / "user";
        fs::create_directory(base);
        ::_exit(readOnlyFolderRefuses(base));
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

TEST(Workspace, TheDefaultWorkFolderIsWhereWineSeesDriveC) {
    TempDir dir;
    const fs::path prefix = dir / "prefix";
    fs::create_directories(prefix / "dosdevices");
    fs::create_directories(prefix / "elsewhere" / "ttemp");
    EXPECT_EQ(defaultWorkFolder(prefix.string(), "/home/x"), prefix / "drive_c" / "TTEMP");
    fs::create_directory_symlink("../elsewhere", prefix / "dosdevices" / "c:");
    EXPECT_EQ(defaultWorkFolder(prefix.string(), "/home/x"),
              prefix / "dosdevices" / "../elsewhere" / "ttemp");
    EXPECT_EQ(defaultWorkFolder(std::nullopt, dir.path()), dir / ".wine" / "drive_c" / "TTEMP");
    EXPECT_EQ(defaultWorkFolder(std::string(), dir.path()), dir / ".wine" / "drive_c" / "TTEMP");
}

}  // namespace
}  // namespace formats
