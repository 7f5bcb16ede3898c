#include "shell/tmform.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include "formats/error.h"
#include "formats/text.h"
#include "shell/embedding.h"
#include "shell/gradient_panel.h"
#include "shell/help.h"
#include "shell/ini_file.h"
#include "shell/qt_text.h"
#include "to_itaca/timetable_export_run.h"
#include "to_timetable/conversion_run.h"

namespace shell {
namespace {

QLabel* titleLabel(const char* name, const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setWordWrap(true);
    QFont font = label->font();
    font.setBold(true);
    font.setPointSizeF(font.pointSizeF() * 1.15);
    label->setFont(font);
    return label;
}

QPushButton* okButton(const char* name, QWidget* parent) {
    auto* button =
        new QPushButton(parent->style()->standardIcon(QStyle::SP_DialogOkButton), "Aceptar", parent);
    button->setObjectName(name);
    button->setMinimumWidth(110);
    setHelpContext(button, 3);
    return button;
}

// The run's handlers are where exceptions stop: none may cross into Qt's event loop.
template <typename Run>
void guarded(runs::Dialogs& dialogs, Run run) {
    try {
        run();
    } catch (const std::exception& e) {
        dialogs.busy(false);
        dialogs.fail(e.what());
    } catch (...) {
        dialogs.busy(false);
        dialogs.fail("Error inesperado");
    }
}

}  // namespace

TMForm::TMForm(const QStringList& arguments, std::filesystem::path workFolder,
               std::filesystem::path programFolder)
    : dialogs_(this, state_), workFolder_(std::move(workFolder)), programFolder_(std::move(programFolder)) {
    setObjectName("MForm");
    setWindowTitle("Exportar e importar datos entre Tavelino e ITACA");
    setWindowFlags(Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFixedSize(632, 266);
    setHelpContext(this, 1);
    buildControls();
    FormCreate(arguments);
}

void TMForm::buildControls() {
    Draw3D2 = new GradientPanel(QColor(0xE3, 0xEE, 0xFA), QColor(0x9D, 0xBD, 0xE8), this);
    Draw3D2->setObjectName("Draw3D2");
    Draw3D3 = new GradientPanel(QColor(0xE6, 0xF5, 0xE6), QColor(0xA3, 0xD3, 0xA3), this);
    Draw3D3->setObjectName("Draw3D3");
    Draw3D1 = new GradientPanel(QColor(0xF2, 0xF2, 0xF2), QColor(0xC8, 0xC8, 0xC8), this);
    Draw3D1->setObjectName("Draw3D1");
    Draw3D1->setFixedHeight(50);

    auto* Label3 = titleLabel("Label3", "Transformar datos desde ITACA hacia Tavelino ", Draw3D2);
    auto* Label9 = new QLabel("Recoger Textos en:", Draw3D2);
    Label9->setObjectName("Label9");
    ComboBoxValCast = new QComboBox(Draw3D2);
    ComboBoxValCast->setObjectName("ComboBoxValCast");
    ComboBoxValCast->setEditable(true);
    ComboBoxValCast->setInsertPolicy(QComboBox::NoInsert);
    ComboBoxValCast->addItem(toQt(formats::literals::kValencia));
    ComboBoxValCast->addItem(toQt(formats::literals::kCastellano));
    ComboBoxValCast->setEditText(toQt(state_.languageChoice));
    ComboBoxValCast->setMinimumWidth(160);
    setHelpContext(ComboBoxValCast, 1);
    BExportar = okButton("BExportar", Draw3D2);

    auto* left = new QVBoxLayout(Draw3D2);
    left->addWidget(Label3);
    left->addStretch();
    auto* language = new QHBoxLayout;
    language->addWidget(Label9);
    language->addWidget(ComboBoxValCast);
    language->addStretch();
    left->addLayout(language);
    left->addStretch();
    auto* exportRow = new QHBoxLayout;
    exportRow->addStretch();
    exportRow->addWidget(BExportar);
    left->addLayout(exportRow);

    auto* Label4 = titleLabel("Label4", "Transformar datos desde Tavelino hacia ITACA", Draw3D3);
    BImportar = okButton("BImportar", Draw3D3);
    auto* right = new QVBoxLayout(Draw3D3);
    right->addWidget(Label4);
    right->addStretch();
    auto* importRow = new QHBoxLayout;
    importRow->addStretch();
    importRow->addWidget(BImportar);
    right->addLayout(importRow);

    Label1 = new QLabel(QString("TransTavelinoItaca %1").arg(TTI_VERSION), Draw3D1);
    Label1->setObjectName("Label1");
    Label1->setStyleSheet("color: red; font-weight: bold;");
    ListBoxPlanti = new QListWidget(Draw3D1);
    ListBoxPlanti->setObjectName("ListBoxPlanti");
    ListBoxPlanti->hide();
    Button1 = new QPushButton("F1 Ayuda", Draw3D1);
    Button1->setObjectName("Button1");
    setHelpContext(Button1, 1);
    BClose = new QPushButton(style()->standardIcon(QStyle::SP_DialogCloseButton), "&Salir", Draw3D1);
    BClose->setObjectName("BClose");
    setHelpContext(BClose, 3);
    auto* bottom = new QHBoxLayout(Draw3D1);
    bottom->addWidget(Label1);
    bottom->addStretch();
    bottom->addWidget(ListBoxPlanti);
    bottom->addWidget(Button1);
    bottom->addWidget(BClose);

    auto* panels = new QHBoxLayout;
    panels->setSpacing(0);
    panels->addWidget(Draw3D2);
    panels->addWidget(Draw3D3);
    auto* window = new QVBoxLayout(this);
    window->setContentsMargins(0, 0, 0, 0);
    window->setSpacing(0);
    window->addLayout(panels, 1);
    window->addWidget(Draw3D1);

    connect(BExportar, &QPushButton::clicked, this, [this] { BExportarClick(); });
    connect(BImportar, &QPushButton::clicked, this, [this] { BImportarClick(); });
    connect(BClose, &QPushButton::clicked, this, &QWidget::close);
    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
    connect(ComboBoxValCast, &QComboBox::editTextChanged, this,
            [this](const QString& text) { state_.languageChoice = fromQt(text); });
    installHelpKey(this);
}

void TMForm::FormCreate(const QStringList& arguments) {
    state_.resultFlag = 0;
    if (arguments.size() != 2) return;
    state_.embedded = true;
    if (const auto host = parseHostHandle(arguments[1])) embeddedInHost_ = embedInto(*this, *host);
    const std::string mode = formats::asciiLower(arguments[0].toStdString());
    if (mode == "importar") Draw3D2->hide();
    if (mode == "exportar") Draw3D3->hide();
}

void TMForm::BExportarClick() {
    guarded(dialogs_,
            [this] { afterRun(to_timetable::runConversion(state_, dialogs_, workFolder_).outcome); });
}

void TMForm::BImportarClick() {
    guarded(dialogs_,
            [this] { afterRun(to_itaca::runTimetableExport(state_, dialogs_, workFolder_).outcome); });
}

void TMForm::Button1Click() {
    showHelp(this, 0);
}

void TMForm::afterRun(runs::RunOutcome outcome) {
    {
        const QSignalBlocker block(ComboBoxValCast);
        ComboBoxValCast->setEditText(toQt(state_.languageChoice));
    }
    ListBoxPlanti->clear();
    for (const auto& entry : state_.sessionList) ListBoxPlanti->addItem(toQt(entry));
    BExportar->setEnabled(state_.directionButtonsEnabled);
    BImportar->setEnabled(state_.directionButtonsEnabled);
    if (state_.embedded && outcome != runs::RunOutcome::Failed) close();
}

void TMForm::closeEvent(QCloseEvent* event) {
    if (state_.embedded) {
        const auto ini = programFolder_ / "Tavelino.ini";
        try {
            writeIniValue(ini, "Transformadores", "Transformado", std::to_string(state_.resultFlag));
        } catch (const formats::Error& e) {
            // The window closes all the same: the host must never be left waiting.
            informBox(this, QString::fromStdString(e.what()));
        }
    }
    event->accept();
    emit closed();
}

}  // namespace shell
