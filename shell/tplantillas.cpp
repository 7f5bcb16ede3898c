#include "shell/tplantillas.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStyle>
#include <QVBoxLayout>

#include "shell/gradient_panel.h"
#include "shell/help.h"
#include "shell/qt_text.h"

namespace shell {
namespace {

void setTextIfChanged(QComboBox* box, const QString& text) {
    if (box->currentText() != text) box->setEditText(text);
}

}  // namespace

TPlantillas::TPlantillas(runs::TemplateChooser& model, QWidget* parent) : QDialog(parent), model_(model) {
    setObjectName("Plantillas");
    setWindowTitle("Plantillas Horarias");
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setHelpContext(this, 1);
    resize(470, 430);

    auto* Draw3D4 = new GradientPanel(QColor(0xE8, 0xF0, 0xFB), QColor(0xB8, 0xCC, 0xEC), this);
    Draw3D4->setObjectName("Draw3D4");
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(Draw3D4);

    Label9 = new QLabel(Draw3D4);
    Label9->setObjectName("Label9");
    ComboBoxValCast = new QComboBox(Draw3D4);
    ComboBoxValCast->setObjectName("ComboBoxValCast");
    ComboBoxValCast->setEditable(true);
    ComboBoxValCast->setInsertPolicy(QComboBox::NoInsert);
    for (const auto& item : runs::TemplateChooser::languageItems()) ComboBoxValCast->addItem(toQt(item));
    setHelpContext(ComboBoxValCast, 1);

    LabelPlantillas = new QLabel(Draw3D4);
    LabelPlantillas->setObjectName("LabelPlantillas");
    LabelPlantillas->setWordWrap(true);
    ComboBoxPlantilla = new QComboBox(Draw3D4);
    ComboBoxPlantilla->setObjectName("ComboBoxPlantilla");
    ComboBoxPlantilla->setEditable(true);
    ComboBoxPlantilla->setCompleter(nullptr);
    ComboBoxPlantilla->setInsertPolicy(QComboBox::NoInsert);
    ComboBoxPlantilla->setStyleSheet("QComboBox { background-color: #ffff00; }");

    // Under the template box: why "Continuar" is disabled, while the box names no template.
    templateNote_ = new QLabel(Draw3D4);
    templateNote_->setObjectName("LabelAviso");
    templateNote_->setStyleSheet("QLabel { color: #b00000; }");

    auto* Label3 = new QLabel("Horario:", Draw3D4);
    Label3->setObjectName("Label3");
    LabelNombre = new QLabel(Draw3D4);
    LabelNombre->setObjectName("LabelNombre");
    auto* Label2 = new QLabel("Turno:", Draw3D4);
    Label2->setObjectName("Label2");
    LabelTurno = new QLabel(Draw3D4);
    LabelTurno->setObjectName("LabelTurno");
    auto* Label1 = new QLabel("HORAS", Draw3D4);
    Label1->setObjectName("Label1");
    ListBox1 = new QListWidget(Draw3D4);
    ListBox1->setObjectName("ListBox1");

    BitBtnContinuar = new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton), "Continuar", Draw3D4);
    BitBtnContinuar->setObjectName("BitBtnContinuar");
    BitBtnContinuar->setDefault(true);
    setHelpContext(BitBtnContinuar, 3);

    auto* layout = new QVBoxLayout(Draw3D4);
    auto* language = new QHBoxLayout;
    language->addWidget(Label9);
    language->addWidget(ComboBoxValCast, 1);
    layout->addLayout(language);
    layout->addWidget(LabelPlantillas);
    layout->addWidget(ComboBoxPlantilla);
    layout->addWidget(templateNote_);
    auto* labels = new QFormLayout;
    labels->addRow(Label3, LabelNombre);
    labels->addRow(Label2, LabelTurno);
    layout->addLayout(labels);
    layout->addWidget(Label1);
    layout->addWidget(ListBox1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(BitBtnContinuar);
    layout->addLayout(buttons);

    Label9->setText(toQt(model_.languageCaption()));
    LabelPlantillas->setText(toQt(model_.prompt()));
    ComboBoxValCast->setVisible(model_.languageBoxVisible());
    for (const auto& item : model_.templateItems()) ComboBoxPlantilla->addItem(toQt(item));
    showModel();

    connect(ComboBoxPlantilla, &QComboBox::editTextChanged, this, [this] { ComboBoxPlantillaChange(); });
    connect(ComboBoxValCast, &QComboBox::editTextChanged, this, [this] { ComboBoxPlantillaChange(); });
    connect(BitBtnContinuar, &QPushButton::clicked, this, &QDialog::accept);
    installHelpKey(this);
}

// Both boxes end here: the model refreshes from what the user typed or picked.
void TPlantillas::ComboBoxPlantillaChange() {
    model_.setLanguageText(fromQt(ComboBoxValCast->currentText()));
    model_.setTemplateText(fromQt(ComboBoxPlantilla->currentText()));
    showModel();
}

void TPlantillas::showModel() {
    const QSignalBlocker blockTemplate(ComboBoxPlantilla);
    const QSignalBlocker blockLanguage(ComboBoxValCast);
    setTextIfChanged(ComboBoxPlantilla, toQt(model_.templateText()));
    setTextIfChanged(ComboBoxValCast, toQt(model_.languageText()));
    LabelNombre->setText(toQt(model_.description()));
    LabelTurno->setText(toQt(model_.turn()));
    templateNote_->setText(toQt(model_.templateNote()));
    BitBtnContinuar->setEnabled(model_.templateIsKnown());
    ListBox1->clear();
    for (const auto& entry : model_.sessions()) ListBox1->addItem(toQt(entry));
}

}  // namespace shell
