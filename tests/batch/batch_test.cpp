// The batch tool end to end, as other tools call it: exit codes, what it prints, what it writes.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>

#include <unistd.h>

#include "formats/dbf.h"
#include "formats/workspace.h"
#include "tests/support/centre_fixture.h"

namespace {

using namespace testing_support;
namespace fs = std::filesystem;

struct Result {
    int exitCode;
    std::string out, err;
};

std::string shellQuoted(const std::string& s) {
    std::string q = "'";
    for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

Result batch(const std::vector<std::string>& args, const TempDir& dir) {
    std::string command = shellQuoted(TTI_BATCH_BINARY);
    for (const auto& a : args) command += " " + shellQuoted(a);
    command +=
        " >" + shellQuoted((dir / "out.txt").string()) + " 2>" + shellQuoted((dir / "err.txt").string());
    const int status = runCommand(command);
    return {WEXITSTATUS(status), readBytes(dir / "out.txt"), readBytes(dir / "err.txt")};
}

struct BatchFixture {
    TempDir dir;
    fs::path work = dir / "work";
    std::string sample = std::string(TTI_SAMPLES_DIR) + "/centro.xml";
    BatchFixture() { fs::create_directory(work); }
    Result run(std::vector<std::string> args) {
        args.insert(args.begin() + 1, {"--work-dir", work.string()});
        return batch(args, dir);
    }
};

TEST(Batch, ExportsTheSampleSchool) {
    BatchFixture f;
    const Result r = f.run({"exportar", f.sample});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("Proceso finalizado\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("DIASHORAST: 42 filas\n"), std::string::npos) << r.out;  // PL1: six Monday sessions
    auto grid = formats::DbfTable::open(f.work / "DIASHORAST.DBF");
    EXPECT_EQ(grid.text(1, "PLANTILLA").toUtf8(), "PL1");
    EXPECT_EQ(grid.text(1, "TEXTODIA").toUtf8(), "Dilluns");
    EXPECT_EQ(grid.text(36, "HORADESDE").toUtf8(), "13:05");
    grid.close();
}

// What the sample school must give: codes that collide only by letter case or accent, a tutor found
// through tutor_sec, an occupation named like a subject, a group code longer than its field.
TEST(Batch, TheSampleSchoolsTables) {
    BatchFixture f;
    const Result r = f.run({"exportar", f.sample, "--quitar-sin-clases"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    auto column = [&](const char* table, const char* field) {
        std::vector<std::string> values;
        auto t = formats::DbfTable::open(f.work / (std::string(table) + ".DBF"));
        for (formats::RecNo row : t.rows()) values.push_back(t.text(row, field).toUtf8());
        t.close();
        return values;
    };
    using Strings = std::vector<std::string>;
    EXPECT_EQ(column("PROFT", "ABREV"),
              (Strings{"GLA", "gla1", "ÁMN", "FSP", "PCR"}));  // ámn1 teaches in PL2 only
    EXPECT_EQ(column("GRUPOST", "TUTOR"), (Strings{"GLA", "gla1", "FSP", "ÁMN"}));
    EXPECT_EQ(column("GRUPOST", "ABREV").back(), "2BATCIENES");
    EXPECT_EQ(column("ASIGNOMT", "COD"), (Strings{"MAT1", "VAL1", "CAS1", "EF1", "TUT1", "MAT2", "ANG2",
                                                  "HISTESPA2B", "FIS2B", "*DIA", "*DEP"}));
    EXPECT_EQ(column("ASIGNOMT", "NOMBRE").front(), "Matemàtiques");
    EXPECT_EQ(column("CURSOST", "ABREV"), (Strings{"1ES", "2ES", "2BA"}));
    EXPECT_EQ(column("AULAT", "ABREV"), (Strings{"A101", "A102", "LAB", "Gimn"}));
    const auto hours = column("ASIGT", "HORAS");
    EXPECT_EQ(column("ASIGT", "CASIG").size(), 14u);
    EXPECT_EQ(hours.front(), "3.0000");  // MAT1 of 1ESOA: three lines of PL1
    EXPECT_NE(r.err.find("aviso: el código \"2BATCIENCIES\" (12 caracteres) no cabe en GRUPOST.CLAVE (10)"),
              std::string::npos)
        << r.err;
}

// "Si" to the several-templates question keeps the default periods: no line is applied.
TEST(Batch, TodasPlantillasAnswersTheFirstQuestionYes) {
    BatchFixture f;
    const Result r = f.run({"exportar", f.sample, "--todas-plantillas"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("-> Si\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("  no aplicadas: se tomaron todas las plantillas: 18\n"), std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("  ¿Tomar las líneas de todas las plantillas?: Sí\n"), std::string::npos) << r.out;
}

TEST(Batch, TakesTheTemplateAndTheLanguageFromItsOptions) {
    BatchFixture f;
    const Result r = f.run({"exportar", f.sample, "--plantilla", "PL2", "--idioma=castellano"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("DIASHORAST: 21 filas\n"), std::string::npos) << r.out;
    auto grid = formats::DbfTable::open(f.work / "DIASHORAST.DBF");
    EXPECT_EQ(grid.text(1, "PLANTILLA").toUtf8(), "PL2");
    EXPECT_EQ(grid.text(3, "TEXTODIA").toUtf8(), "Miércoles");
    EXPECT_EQ(grid.text(1, "HORADESDE").toUtf8(), "15:00");  // orders sorted: 1 before 2
    grid.close();
}

TEST(Batch, RefusesATemplateTheDocumentDoesNotHave) {
    BatchFixture f;
    const Result r = f.run({"exportar", f.sample, "--plantilla", "PL3"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("\"PL3\""), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("\"PL1\", \"PL2\""), std::string::npos) << r.err;
    EXPECT_TRUE(snapshot(f.work).empty());
}

TEST(Batch, MissingAndRefusedInputEndWithExitOne) {
    BatchFixture f;
    Result r = f.run({"exportar", (f.dir / "nada.xml").string()});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, "No existe archivo\n\"" + (f.dir / "nada.xml").string() + "\" no existe.\n");
    writeBytes(f.dir / "roto.xml", "<centro>");
    r = f.run({"exportar", (f.dir / "roto.xml").string()});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.out.find("no es un XML bien formado"), std::string::npos) << r.out;
    EXPECT_TRUE(snapshot(f.work).empty());
}

TEST(Batch, AnErrorOfTheRunEndsWithExitThree) {
    BatchFixture f;
    writeBytes(f.work / "SOLUC.DBF", "not a table");
    const Result r = f.run({"importar", f.sample});
    EXPECT_EQ(r.exitCode, 3);
    EXPECT_NE(r.err.find("DIASHORAST"), std::string::npos) << r.err;  // SOLUC found, but no grid
    EXPECT_EQ(snapshot(f.work), (std::map<std::string, std::string>{{"SOLUC.DBF", "not a table"}}));
}

TEST(Batch, AWorkFolderThatIsMissingOrHeldByAnotherRunIsRefused) {
    BatchFixture f;
    Result r = batch({"exportar", f.sample, "--work-dir", (f.dir / "no-such-folder").string()}, f.dir);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.out.find("No existe la carpeta de trabajo"), std::string::npos) << r.out;
    writeBytes(f.dir / "un-archivo", "");
    r = batch({"exportar", f.sample, "--work-dir", (f.dir / "un-archivo").string()}, f.dir);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.out.find("no es una carpeta"), std::string::npos) << r.out;

    const auto before = snapshot(f.work);
    {
        formats::Workspace held(f.work);  // this process runs on the folder
        r = f.run({"exportar", f.sample});
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_EQ(r.out, "La carpeta de trabajo está en uso por otra conversión (proceso " +
                             std::to_string(::getpid()) + ").\n");
    }
    EXPECT_EQ(snapshot(f.work), before);  // the lock file went with its run
    EXPECT_EQ(f.run({"exportar", f.sample}).exitCode, 0);
}

TEST(Batch, UsageErrorsEndWithExitTwoAndTheUsage) {
    TempDir dir;
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"convertir", "x.xml"},
        {"exportar"},
        {"exportar", "a.xml", "b.xml"},
        {"exportar", "a.xml", "--plantilla"},
        {"exportar", "a.xml", "--desconocida"},
        {"exportar", "a.xml", "--idioma", "VALENCI\xC1"},  // Windows-1252, not UTF-8
        {"importar", "a.xml", "--todas-plantillas"},       // no question to answer in that direction
        {"exportar", "a.xml", "--work-dir", ""},           // an unset variable would mean this folder
        {"exportar", "a.xml", "--idioma", "INGLES"},       // neither of the language box's two items
    };
    for (const auto& args : cases) {
        const Result r = batch(args, dir);
        EXPECT_EQ(r.exitCode, 2) << (args.empty() ? "" : args[0]);
        EXPECT_NE(r.err.find("Uso:"), std::string::npos);
    }
    Result help = batch({"--help"}, dir);
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.out.find("--quitar-sin-clases"), std::string::npos);
    Result version = batch({"--version"}, dir);
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out.rfind("TransTavelinoItaca-batch ", 0), 0u);
}

TEST(Batch, TheDefaultWorkFolderIsWineDriveC) {
    BatchFixture f;
    fs::create_directories(f.dir / "prefix" / "drive_c" / "ttemp");
    std::string command = "WINEPREFIX=" + shellQuoted((f.dir / "prefix").string()) + " " +
                          shellQuoted(TTI_BATCH_BINARY) + " exportar " + shellQuoted(f.sample) +
                          " >/dev/null 2>&1";
    EXPECT_EQ(WEXITSTATUS(runCommand(command)), 0);
    EXPECT_TRUE(fs::exists(f.dir / "prefix" / "drive_c" / "ttemp" / "DIASHORAST.DBF"));
}

}  // namespace

namespace {

// Every placed class and occupation of the sample SOLUC comes back with the centre document's own codes,
// long ones included.
TEST(Batch, RoundTripOnTheSampleSchool) {
    BatchFixture f;
    fs::copy_file(f.sample, f.dir / "centro.xml");
    const std::string centre = (f.dir / "centro.xml").string();
    ASSERT_EQ(f.run({"exportar", centre}).exitCode, 0);
    fs::copy_file(std::string(TTI_SAMPLES_DIR) + "/SOLUC.DBF", f.work / "SOLUC.DBF");
    const Result r = f.run({"importar", centre});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const fs::path output = f.dir / "ResultadoTavelinocentro.xml";
    EXPECT_NE(r.out.find("Documento de importación: " + output.string()), std::string::npos) << r.out;
    const std::string xml = readBytes(output);
    auto count = [&](const std::string& what) {
        std::size_t n = 0;
        for (std::size_t at = xml.find(what); at != std::string::npos; at = xml.find(what, at + 1)) ++n;
        return n;
    };
    EXPECT_EQ(count("<horario_grupo "), 13u);  // the sample SOLUC has 14 class rows, one of them not placed
    EXPECT_EQ(count("<horario_ocupacion "), 3u);
    EXPECT_EQ(count("grupo=\"2BATCIENCIES\" ensenanza=\"BACH\" curso=\"2BACH\" contenido=\"HISTESPANYA2B\" "
                    "docente=\"33333333C\""),
              2u);
    EXPECT_NE(
        xml.find(
            "<horario_ocupacion plantilla=\"PL1\" dia_semana=\"X\" sesion_orden=\"4\" hora_desde=\"11:15\" "
            "hora_hasta=\"12:10\" docente=\"22222222B\" ensenanza=\"ESO\" ocupacion=\"REUDEP\"/>"),
        std::string::npos);
    EXPECT_EQ(readBytes(f.work / "SOLUC.DBF"), readBytes(std::string(TTI_SAMPLES_DIR) + "/SOLUC.DBF"));
}

TEST(Batch, ImportarWithoutASolutionEndsWithExitOne) {
    BatchFixture f;
    const Result r = f.run({"importar", f.sample});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.out.find("No existe archivo XML o Solución."), std::string::npos) << r.out;
}

// What a restore must give back: every file of the work folder but the backups and the run's lock.
std::map<std::string, std::string> tables(const fs::path& work) {
    auto files = snapshot(work);
    std::erase_if(files, [](const auto& f) { return f.first.rfind("CopiasTransTavelinoItaca", 0) == 0; });
    return files;
}

std::vector<std::string> backupNames(BatchFixture& f) {
    const Result r = f.run({"restaurar", "--listar"});
    std::vector<std::string> names;
    for (std::size_t at = 0; at < r.out.size(); at = r.out.find('\n', at) + 1) {
        names.push_back(r.out.substr(at, r.out.find(' ', at) - at));
    }
    return names;
}

TEST(Batch, RestaurarGivesBackWhatARunReplacedAndCanItselfBeUndone) {
    BatchFixture f;
    ASSERT_EQ(f.run({"exportar", f.sample}).exitCode, 0);
    writeBytes(f.work / "asigt.mdx", "an index of the timetable program");
    const auto first = tables(f.work);
    ASSERT_EQ(f.run({"exportar", f.sample, "--plantilla", "PL2"}).exitCode, 0);
    const auto second = tables(f.work);
    ASSERT_NE(first, second);

    Result r = f.run({"restaurar"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("Proceso finalizado"), std::string::npos) << r.out;
    EXPECT_EQ(tables(f.work), first);
    const auto names = backupNames(f);
    ASSERT_EQ(names.size(), 3u);
    EXPECT_NE(names[0].find("-restaurar"), std::string::npos);

    ASSERT_EQ(f.run({"restaurar", "--copia", names[0]}).exitCode, 0);  // the restore undone
    EXPECT_EQ(tables(f.work), second);
    ASSERT_EQ(f.run({"restaurar", "--copia", names[2]}).exitCode, 0);  // before the first run: no tables
    EXPECT_TRUE(tables(f.work).empty());
}

TEST(Batch, TheTenNewestBackupsAreKept) {
    BatchFixture f;
    std::vector<std::string> first;
    for (int run = 1; run <= 11; ++run) {
        ASSERT_EQ(f.run({"exportar", f.sample}).exitCode, 0);
        if (run == 1) first = backupNames(f);
    }
    const auto names = backupNames(f);
    EXPECT_EQ(names.size(), 10u);
    EXPECT_EQ(std::count(names.begin(), names.end(), first.at(0)), 0);
}

TEST(Batch, RestaurarRefusesWhatItCannotRestoreAndChangesNothing) {
    BatchFixture f;
    Result r = f.run({"restaurar"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.out.find("No hay ninguna copia"), std::string::npos) << r.out;

    ASSERT_EQ(f.run({"exportar", f.sample}).exitCode, 0);
    const std::string made = backupNames(f).at(0);
    fs::create_directories(f.work / "CopiasTransTavelinoItaca" / "2099-01-01_00-00-00-exportar");
    const auto before = snapshot(f.work);
    r = f.run({"restaurar"});  // the newest has no list
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.out.find("copia.txt"), std::string::npos) << r.out;
    r = f.run({"restaurar", "--copia", "2020-01-01_00-00-00-exportar"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.out.find("\n  " + made), std::string::npos) << r.out;  // the names follow
    EXPECT_EQ(snapshot(f.work), before);

    // A list that would put a file outside the work folder is not followed.
    const fs::path tampered = f.work / "CopiasTransTavelinoItaca" / "2098-01-01_00-00-00-exportar";
    fs::create_directories(tampered);
    writeBytes(tampered / "fuera.DBF", "x");
    writeBytes(tampered / "copia.txt", "sustituido\t../fuera.DBF\tfuera.DBF\n");
    const auto withTampered = snapshot(f.work);
    r = f.run({"restaurar", "--copia", "2098-01-01_00-00-00-exportar"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.out.find("no es válida"), std::string::npos) << r.out;
    EXPECT_EQ(snapshot(f.work), withTampered);
    EXPECT_FALSE(fs::exists(f.dir / "fuera.DBF"));
}

TEST(Batch, APartialDocumentIsRefusedUnlessItIsConfirmed) {
    BatchFixture f;
    const fs::path partial = f.dir / "parcial.xml";
    writeBytes(partial, centreDocument("<docentes><docente apellido1=\"A\" documento=\"1\"/></docentes>"));
    Result r = f.run({"exportar", partial.string()});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("El documento de centro no contiene: plantillas horarias, materias, grupos."),
              std::string::npos)
        << r.err;
    EXPECT_TRUE(snapshot(f.work).empty());
    r = f.run({"exportar", partial.string(), "--documento-incompleto"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
}

TEST(Batch, ImportarWithAnotherTemplateGoesOnOnlyWhenItIsGivenAndSaysSo) {
    BatchFixture f;
    fs::copy_file(f.sample, f.dir / "centro.xml");
    const std::string centre = (f.dir / "centro.xml").string();
    ASSERT_EQ(f.run({"exportar", centre}).exitCode, 0);  // PL1
    fs::copy_file(std::string(TTI_SAMPLES_DIR) + "/SOLUC.DBF", f.work / "SOLUC.DBF");
    const Result r = f.run({"importar", centre, "--plantilla", "PL2"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(
        r.err.find(
            "aviso: Las tablas de Tavelino se hicieron con la plantilla PL1 y ha elegido la plantilla PL2."),
        std::string::npos)
        << r.err;
}

}  // namespace
