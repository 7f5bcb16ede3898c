// The template chooser's window: a thin view over runs::TemplateChooser, holding no rules of its own.
#pragma once

#include <QDialog>

#include "runs/template_chooser.h"

class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;

namespace shell {

class TPlantillas : public QDialog {
    Q_OBJECT
public:
    TPlantillas(runs::TemplateChooser& model, QWidget* parent);

private:
    void ComboBoxPlantillaChange();
    // Copies the model's texts into the controls, with the boxes' signals blocked meanwhile.
    void showModel();

    runs::TemplateChooser& model_;
    QComboBox* ComboBoxPlantilla;
    QComboBox* ComboBoxValCast;
    QPushButton* BitBtnContinuar;
    QLabel* Label9;
    QLabel* LabelPlantillas;
    QLabel* LabelNombre;
    QLabel* LabelTurno;
    QLabel* templateNote_;
    QListWidget* ListBox1;
};

}  // namespace shell
