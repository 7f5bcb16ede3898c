// The window under a real X server (xvfb-run): what only the window does, and the runs through Qt's
// own dialogs answered as a person would answer them.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QThread>
#include <QTimer>
#include <QTranslator>
#include <functional>

#include "shell/gradient_panel.h"
#include "shell/help.h"
#include "shell/tmform.h"
#include "shell/tplantillas.h"
#include "tests/support/centre_fixture.h"

namespace shell {
namespace {

using namespace testing_support;
namespace fs = std::filesystem;

const std::string kSample = std::string(TTI_SAMPLES_DIR) + "/centro.xml";

// A control of a window, found by its object name as the window names it.
template <typename Widget>
Widget* control(QWidget& window, const char* name) {
    auto* found = window.findChild<Widget*>(name);
    if (!found) ADD_FAILURE() << "no control " << name;
    return found;
}

// Answers each modal window as it comes up: the open dialog, the chooser, the message boxes.
class Autopilot {
public:
    QString fileToOpen;  // empty: the open dialog is cancelled
    std::function<void(TPlantillas&)> onChooser;
    std::vector<QString> messages;
    std::vector<QString> titles;
    std::vector<QStringList> buttons;
    std::vector<QMessageBox::Icon> icons;
    std::vector<QString> details;
    std::vector<QString> defaults;  // the button Enter would press
    QStringList fileDialog;         // title, filters and default suffix of the last open dialog
    QString boxScreenshots;         // when set, each box is saved as "<this>-N.png" (its details open too)

    Autopilot() {
        QObject::connect(&timer_, &QTimer::timeout, [this] { step(); });
        timer_.start(20);
    }

private:
    void step() {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible()) return;
        if (auto* files = qobject_cast<QFileDialog*>(modal)) {
            fileDialog =
                QStringList{files->windowTitle(), files->nameFilters().join("|"), files->defaultSuffix(),
                            files->findChild<QLabel*>("fileNameLabel")->text()};
            if (fileToOpen.isEmpty()) return files->reject();
            files->findChild<QLineEdit*>("fileNameEdit")->setText(fileToOpen);
            QMetaObject::invokeMethod(files, "accept");
        } else if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            messages.push_back(box->text());
            titles.push_back(box->windowTitle());
            icons.push_back(box->icon());
            details.push_back(box->detailedText());
            if (!boxScreenshots.isEmpty()) saveBox(*box);
            defaults.push_back(box->defaultButton() ? box->defaultButton()->text() : QString());
            QStringList texts;
            QAbstractButton* answer = box->escapeButton();  // "&No" to a question
            for (QAbstractButton* b : box->buttons()) {
                if (box->buttonRole(b) == QMessageBox::ActionRole) continue;  // "Mostrar detalles..."
                texts << b->text();
                if (!answer) answer = b;  // "Aceptar"
            }
            buttons.push_back(texts);
            answer->click();
        } else if (auto* chooser = qobject_cast<TPlantillas*>(modal)) {
            if (onChooser) onChooser(*chooser);
            if (control<QPushButton>(*chooser, "BitBtnContinuar")->isEnabled()) {
                control<QPushButton>(*chooser, "BitBtnContinuar")->click();
            } else {
                chooser->reject();  // Esc: the only way out while the box names no template
            }
        }
    }
    void saveBox(QMessageBox& box) {
        const QString name = QString("%1/%2-%3").arg(TTI_SCREENSHOT_DIR, boxScreenshots).arg(messages.size());
        fs::create_directories(TTI_SCREENSHOT_DIR);
        box.grab().save(name + ".png");
        for (QAbstractButton* b : box.buttons()) {
            if (box.buttonRole(b) != QMessageBox::ActionRole) continue;
            b->click();                     // "Mostrar detalles..."
            for (int i = 0; i < 30; ++i) {  // let the box settle at its new size
                QApplication::processEvents();
                QThread::msleep(20);
            }
            box.grab().save(name + "-detalles.png");
        }
    }
    QTimer timer_;
};

struct WindowFixture {
    TempDir dir;
    fs::path work = dir / "TTEMP";
    fs::path programFolder = dir / "bin";
    WindowFixture() {
        fs::create_directory(work);
        fs::create_directory(programFolder);
    }
    fs::path ini() const { return programFolder / "Tavelino.ini"; }
};

void saveScreenshot(QWidget& widget, const char* name) {
    fs::create_directories(TTI_SCREENSHOT_DIR);
    widget.grab().save(QString("%1/%2.png").arg(TTI_SCREENSHOT_DIR, name));
}

TEST(Window, StandaloneShowsBothDirectionsAndWritesNothingAtClose) {
    for (const QStringList& args :
         {QStringList{}, QStringList{"exportar"}, QStringList{"exportar", "1", "x"}}) {
        WindowFixture f;
        TMForm form(args, f.work, f.programFolder);
        form.show();
        EXPECT_EQ(form.windowTitle(), "Exportar e importar datos entre Tavelino e ITACA");
        EXPECT_EQ(form.size(), QSize(632, 266));
        EXPECT_TRUE(control<QWidget>(form, "Draw3D2")->isVisible());
        EXPECT_TRUE(control<QWidget>(form, "Draw3D3")->isVisible());
        EXPECT_TRUE(control<QWidget>(form, "Draw3D1")->isVisible());
        EXPECT_FALSE(control<QListWidget>(form, "ListBoxPlanti")->isVisible());
        EXPECT_EQ(control<QPushButton>(form, "BExportar")->text(), "Aceptar");
        EXPECT_EQ(control<QPushButton>(form, "BImportar")->text(), "Aceptar");
        EXPECT_EQ(control<QPushButton>(form, "BClose")->text(), "&Salir");
        EXPECT_EQ(control<QPushButton>(form, "Button1")->text(), "F1 Ayuda");
        EXPECT_EQ(control<QComboBox>(form, "ComboBoxValCast")->currentText(), "VALENCIÁ");
        EXPECT_EQ(control<QComboBox>(form, "ComboBoxValCast")->itemText(1), "CASTELLANO");
        EXPECT_EQ(helpContextOf(control<QPushButton>(form, "BExportar")), 3);
        EXPECT_EQ(helpContextOf(control<QPushButton>(form, "BClose")), 3);
        EXPECT_EQ(helpContextOf(control<QComboBox>(form, "ComboBoxValCast")), 1);
        EXPECT_EQ(helpContextOf(control<QPushButton>(form, "Button1")), 1);
        EXPECT_EQ(helpContextOf(control<QLabel>(form, "Label1")), 1);
        if (args.isEmpty()) saveScreenshot(form, "standalone");
        form.close();
        EXPECT_FALSE(fs::exists(f.ini()));
    }
}

TEST(Window, EmbeddedModeShowsTheRequestedPanelAndReportsAtClose) {
    struct Case {
        QStringList args;
        bool exportVisible, importVisible;
    };
    const Case cases[] = {
        {{"EXPORTAR", "zz"}, true, false}, {{"Importar", "1"}, false, true}, {{"otra", "1"}, true, true}};
    for (const Case& c : cases) {
        WindowFixture f;
        writeBytes(f.ini(), "[Tavelino]\r\nVersion=5\r\n[Transformadores]\r\nTransformado=1\r\n");
        TMForm form(c.args, f.work, f.programFolder);
        form.show();
        EXPECT_TRUE(form.state().embedded);
        EXPECT_FALSE(form.isEmbeddedInHost());  // no window has these handles: a top-level window
        EXPECT_EQ(control<QWidget>(form, "Draw3D2")->isVisible(), c.exportVisible);
        EXPECT_EQ(control<QWidget>(form, "Draw3D3")->isVisible(), c.importVisible);
        if (!c.importVisible) {
            EXPECT_EQ(control<QWidget>(form, "Draw3D2")->width(), 632);
        }
        form.close();
        EXPECT_EQ(readBytes(f.ini()), "[Tavelino]\r\nVersion=5\r\n[Transformadores]\r\nTransformado=0\r\n");
    }
}

TEST(Window, AnOutcomeFileThatCannotBeWrittenIsReportedAndTheWindowClosesAllTheSame) {
    WindowFixture f;
    TMForm form({"exportar", "zz"}, f.work, f.dir / "no-such-folder");
    form.show();
    bool closed = false;
    QObject::connect(&form, &TMForm::closed, [&] { closed = true; });
    Autopilot pilot;
    form.close();
    ASSERT_EQ(pilot.messages.size(), 1u);
    EXPECT_TRUE(pilot.messages[0].contains("Tavelino.ini")) << pilot.messages[0].toStdString();
    EXPECT_TRUE(closed);
    EXPECT_FALSE(form.isVisible());
}

// Clicks exportar's "Aceptar" on the sample school, with `plantilla` typed into the chooser.
void exportSample(TMForm& form, Autopilot& pilot, const char* plantilla) {
    pilot.fileToOpen = QString::fromStdString(kSample);
    pilot.onChooser = [plantilla](TPlantillas& chooser) {
        control<QComboBox>(chooser, "ComboBoxPlantilla")->setEditText(plantilla);
    };
    control<QPushButton>(form, "BExportar")->click();
}

TEST(Window, AnEmbeddedRunThatFinishesWritesOneAndClosesTheWindow) {
    WindowFixture f;
    TMForm form({"exportar", "zz"}, f.work, f.programFolder);
    form.show();
    Autopilot pilot;
    exportSample(form, pilot, "PL2");
    ASSERT_FALSE(pilot.messages.empty());
    EXPECT_EQ(pilot.messages.back(), "Proceso finalizado");
    EXPECT_EQ(pilot.titles.back(), "TransTavelinoItaca");
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(form.state().templateCode.toUtf8(), "PL2");
    EXPECT_EQ(control<QListWidget>(form, "ListBoxPlanti")->count(), 3);
    EXPECT_EQ(readBytes(f.ini()), "[Transformadores]\r\nTransformado=1\r\n");
    EXPECT_TRUE(fs::exists(f.work / "DIASHORAST.DBF"));
}

TEST(Window, ACancelledOpenDialogInEmbeddedModeWritesMinusOneAndCloses) {
    WindowFixture f;
    TMForm form({"exportar", "zz"}, f.work, f.programFolder);
    form.show();
    Autopilot pilot;
    control<QPushButton>(form, "BExportar")->click();
    EXPECT_EQ(pilot.messages, (std::vector<QString>{"No existe archivo"}));
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(readBytes(f.ini()), "[Transformadores]\r\nTransformado=-1\r\n");
}

TEST(Window, AFinishedStandaloneRunDisablesBothDirections) {
    WindowFixture f;
    TMForm form({}, f.work, f.programFolder);
    form.show();
    Autopilot pilot;
    pilot.fileToOpen = QString::fromStdString(kSample);
    pilot.boxScreenshots = "exportar";
    control<QComboBox>(form, "ComboBoxValCast")->setEditText("CASTELLANO");
    control<QPushButton>(form, "BExportar")->click();
    EXPECT_EQ(pilot.fileDialog, (QStringList{"Archivo XML", "*.xml (*.xml)", "xml", "&Nombre de fichero:"}));
    ASSERT_EQ(pilot.messages.size(), 2u);  // the several-templates question and the end
    EXPECT_EQ(pilot.titles[0], "Confirmación");
    EXPECT_EQ(pilot.icons[0], QMessageBox::Question);
    EXPECT_EQ(pilot.buttons[0], (QStringList{"&Si", "&No"}));
    EXPECT_TRUE(pilot.messages[0].startsWith(QString(23, ' ') + "!!! I M P O R T A N T E !!!"));
    EXPECT_EQ(pilot.buttons[1], (QStringList{"Aceptar"}));
    EXPECT_EQ(pilot.icons[1], QMessageBox::NoIcon);
    EXPECT_EQ(pilot.messages.back(), "Proceso finalizado");
    EXPECT_TRUE(pilot.details.back().startsWith("TransTavelinoItaca: exportar"))
        << pilot.details.back().toStdString();
    EXPECT_TRUE(pilot.details.back().contains("DIASHORAST: 42 filas"));
    EXPECT_TRUE(form.isVisible());
    EXPECT_FALSE(control<QPushButton>(form, "BExportar")->isEnabled());
    EXPECT_FALSE(control<QPushButton>(form, "BImportar")->isEnabled());
    EXPECT_EQ(form.state().languageChoice.toUtf8(), "CASTELLANO");
    form.close();
}

// Nothing is written for a template the document does not have, nor for a partial document unless the
// user says so: "&No" is the default of that question.
TEST(Window, AnUnknownTemplateOrAnIncompleteDocumentIsRefusedInEmbeddedMode) {
    {
        WindowFixture f;
        TMForm form({"exportar", "zz"}, f.work, f.programFolder);
        form.show();
        Autopilot pilot;
        exportSample(form, pilot, "PL9");
        EXPECT_TRUE(pilot.messages.empty());
        EXPECT_EQ(readBytes(f.ini()), "[Transformadores]\r\nTransformado=-1\r\n");
        EXPECT_TRUE(snapshot(f.work).empty());
    }
    WindowFixture f;
    writeBytes(f.dir / "parcial.xml",
               centreDocument("<docentes><docente apellido1=\"A\" documento=\"1\"/></docentes>"));
    TMForm form({"exportar", "zz"}, f.work, f.programFolder);
    form.show();
    Autopilot pilot;
    pilot.fileToOpen = QString::fromStdString((f.dir / "parcial.xml").string());
    pilot.boxScreenshots = "documento-incompleto";
    control<QPushButton>(form, "BExportar")->click();
    ASSERT_EQ(pilot.messages.size(), 1u);
    EXPECT_TRUE(pilot.messages[0].startsWith(
        "El documento de centro no contiene: plantillas horarias, materias, grupos."));
    EXPECT_EQ(pilot.titles[0], "Confirmación");
    EXPECT_EQ(pilot.defaults[0], "&No");
    EXPECT_EQ(readBytes(f.ini()), "[Transformadores]\r\nTransformado=-1\r\n");
    EXPECT_TRUE(snapshot(f.work).empty());
}

TEST(Window, BothDirectionsRunInTheWindow) {
    WindowFixture f;
    fs::copy_file(kSample, f.dir / "centro.xml");
    {
        TMForm form({}, f.work, f.programFolder);
        form.show();
        Autopilot pilot;
        pilot.fileToOpen = QString::fromStdString((f.dir / "centro.xml").string());
        control<QPushButton>(form, "BExportar")->click();
        ASSERT_EQ(pilot.messages.back(), "Proceso finalizado");
        form.close();
    }
    fs::copy_file(std::string(TTI_SAMPLES_DIR) + "/SOLUC.DBF", f.work / "SOLUC.DBF");
    TMForm form({"importar", "zz"}, f.work, f.programFolder);
    form.show();
    Autopilot pilot;
    pilot.fileToOpen = QString::fromStdString((f.dir / "centro.xml").string());
    control<QPushButton>(form, "BImportar")->click();
    ASSERT_GE(pilot.messages.size(), 2u);
    EXPECT_EQ(pilot.messages.front(),
              "Deberá Abrir el fichero XML de ITACA,\r\ndesde el cual realizó la Importación a Tavelino");
    EXPECT_EQ(pilot.messages.back(), "Proceso finalizado");
    EXPECT_FALSE(form.isVisible());
    EXPECT_TRUE(fs::exists(f.dir / "ResultadoTavelinocentro.xml"));
    EXPECT_EQ(readBytes(f.ini()), "[Transformadores]\r\nTransformado=1\r\n");
}

TEST(Window, AFailedRunShowsTheErrorAndKeepsEverythingOpen) {
    WindowFixture f;
    formats::FileOperations::arm(3, 0);  // the first file operation after taking the work folder fails
    TMForm form({"exportar", "zz"}, f.work, f.programFolder);
    form.show();
    Autopilot pilot;
    pilot.fileToOpen = QString::fromStdString(kSample);
    control<QPushButton>(form, "BExportar")->click();
    formats::FileOperations::disarm();
    ASSERT_EQ(pilot.messages.size(), 1u);
    EXPECT_TRUE(pilot.messages[0].contains("TTEMP")) << pilot.messages[0].toStdString();
    EXPECT_TRUE(form.isVisible());
    EXPECT_TRUE(control<QPushButton>(form, "BExportar")->isEnabled());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    form.close();
}

TEST(Window, HelpSaysPlainlyWhenItsFileIsMissing) {
    WindowFixture f;
    TMForm form({}, f.work, f.programFolder);
    form.show();
    Autopilot pilot;
    control<QPushButton>(form, "Button1")->click();
    ASSERT_EQ(pilot.messages.size(), 1u);
    EXPECT_TRUE(pilot.messages[0].contains("ITACA.chm"));
    form.close();
}

TEST(Window, TheChooserWindowShowsItsModel) {
    TempDir dir;
    const auto doc = loadCentre(
        dir,
        templates("<plantilla_horario codigo=\"PL1\" descripcion_val=\"Matí\" descripcion_cas=\"Mañana\" "
                  "turno=\"M\"/><plantilla_horario codigo=\"PL2\" descripcion_val=\"Vesprada\" "
                  "descripcion_cas=\"Tarde\" turno=\"T\"/>") +
            sessions(session("PL2", "L", "1", "15:00", "15:55")));
    runs::TemplateChooser model(runs::ChooserMode::Normal);
    model.activate(doc, formats::literals::kValencia, nullptr);
    TPlantillas window(model, nullptr);
    window.show();
    EXPECT_EQ(window.windowTitle(), "Plantillas Horarias");
    EXPECT_TRUE(control<QPushButton>(window, "BitBtnContinuar")->isDefault());
    EXPECT_EQ(control<QComboBox>(window, "ComboBoxPlantilla")->completer(), nullptr);
    EXPECT_EQ(control<QComboBox>(window, "ComboBoxPlantilla")->count(), 2);
    EXPECT_FALSE(window.windowFlags() & Qt::WindowMinimizeButtonHint);
    auto* nombre = window.findChild<QLabel*>("LabelNombre");
    auto* turno = window.findChild<QLabel*>("LabelTurno");
    auto* sessionsBox = window.findChild<QListWidget*>("ListBox1");
    EXPECT_EQ(nombre->text(), "Matí");
    auto* note = window.findChild<QLabel*>("LabelAviso");
    control<QComboBox>(window, "ComboBoxPlantilla")->setEditText("PL");
    EXPECT_FALSE(control<QPushButton>(window, "BitBtnContinuar")->isEnabled());
    EXPECT_EQ(note->text(), "Escriba o elija una de las plantillas del documento de centro.");
    saveScreenshot(window, "chooser-unknown-template");
    control<QComboBox>(window, "ComboBoxPlantilla")->setEditText("PL2");
    EXPECT_TRUE(control<QPushButton>(window, "BitBtnContinuar")->isEnabled());
    EXPECT_TRUE(note->text().isEmpty());
    EXPECT_EQ(nombre->text(), "Vesprada");
    EXPECT_EQ(turno->text(), "T");
    EXPECT_EQ(sessionsBox->count(), 1);
    control<QComboBox>(window, "ComboBoxValCast")->setEditText("CASTELLANO");
    EXPECT_EQ(nombre->text(), "Tarde");
    control<QComboBox>(window, "ComboBoxPlantilla")->setEditText("PL2 ");
    EXPECT_EQ(nombre->text(), "-");
    EXPECT_EQ(sessionsBox->count(), 0);
    saveScreenshot(window, "chooser");
    window.close();

    runs::TemplateChooser exporting(runs::ChooserMode::Export);
    fs::create_directory(dir / "TTEMP");
    formats::Workspace workspace(dir / "TTEMP");
    workspace.create(formats::tables::DIASHORAST()).close();
    exporting.activate(doc, formats::literals::kValencia, &workspace);
    TPlantillas exportWindow(exporting, nullptr);
    exportWindow.show();
    EXPECT_FALSE(control<QComboBox>(exportWindow, "ComboBoxValCast")->isVisible());
    EXPECT_EQ(exportWindow.findChild<QLabel*>("Label9")->text(), "EXPORTACIÓN A ITACA");
    EXPECT_EQ(control<QComboBox>(exportWindow, "ComboBoxPlantilla")->currentText(), "");
    saveScreenshot(exportWindow, "chooser-export");
    exportWindow.close();
    exporting.finish();
}

// The real program, embedded in a host window, must become the host's child in the X server's eyes.
std::string childOf(WId host, const std::string& title) {
    QProcess xwininfo;
    xwininfo.start("xwininfo", {"-tree", "-id", QString::number(host)});
    xwininfo.waitForFinished(5000);
    for (const QString& line : QString::fromUtf8(xwininfo.readAllStandardOutput()).split('\n')) {
        if (line.contains(QString::fromStdString(title)))
            return line.trimmed().section(' ', 0, 0).toStdString();
    }
    return "";
}

// The host reads the outcome file however the program ends: with no display at all, it reads -1.
TEST(Window, EmbeddedWithoutADisplayTheProgramWritesMinusOne) {
    WindowFixture f;
    fs::copy_file(TTI_WINDOW_BINARY, f.programFolder / "TransTavelinoItaca");
    writeBytes(f.ini(), "[Transformadores]\r\nTransformado=1\r\n");
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) environment.remove(name);
    program.setProcessEnvironment(environment);
    program.start(QString::fromStdString((f.programFolder / "TransTavelinoItaca").string()),
                  {"exportar", "1a2b"});
    ASSERT_TRUE(program.waitForFinished(10000));
    EXPECT_EQ(program.exitCode(), 1);
    EXPECT_TRUE(program.readAllStandardError().contains("no hay pantalla"));
    EXPECT_EQ(readBytes(f.ini()), "[Transformadores]\r\nTransformado=-1\r\n");
}

TEST(Window, EmbeddedTheProgramBecomesAChildOfTheHostWindow) {
    if (QGuiApplication::platformName() != "xcb") GTEST_SKIP() << "embedding needs an X server";
    for (const char* mode : {"exportar", "importar"}) {
        WindowFixture f;
        fs::copy_file(TTI_WINDOW_BINARY, f.programFolder / "TransTavelinoItaca");
        QWidget host;
        host.setWindowTitle("host");
        host.setGeometry(0, 0, 700, 320);
        host.show();
        QApplication::processEvents();
        QProcess program;
        program.setProgram(QString::fromStdString((f.programFolder / "TransTavelinoItaca").string()));
        program.setArguments({mode, QString::number(host.winId(), 16)});
        program.start();
        ASSERT_TRUE(program.waitForStarted(5000));
        std::string child;
        for (int i = 0; i < 100 && child.empty(); ++i) {
            QThread::msleep(100);
            QApplication::processEvents();
            child = childOf(host.winId(), "Exportar e importar datos entre Tavelino e ITACA");
        }
        ASSERT_FALSE(child.empty()) << mode << ": not a child of the host";
        QThread::msleep(300);
        QProcess::execute("import",
                          {"-window", "root", QString("%1/embedded-%2.png").arg(TTI_SCREENSHOT_DIR, mode)});

        // "&Salir", where the window's own layout puts it.
        TMForm layout({}, f.work, f.programFolder);
        layout.show();
        const QPoint salir = control<QPushButton>(layout, "BClose")
                                 ->mapTo(&layout, control<QPushButton>(layout, "BClose")->rect().center());
        layout.hide();
        QProcess::execute("xdotool", {"mousemove", "--window", QString::fromStdString(child),
                                      QString::number(salir.x()), QString::number(salir.y()), "click", "1"});
        EXPECT_TRUE(program.waitForFinished(10000)) << mode;
        EXPECT_EQ(readBytes(f.ini()), "[Transformadores]\r\nTransformado=0\r\n") << mode;
        if (program.state() != QProcess::NotRunning) program.kill();
    }
}

}  // namespace
}  // namespace shell

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    QTranslator qtSpanish;
    shell::installSpanish(app, qtSpanish);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
