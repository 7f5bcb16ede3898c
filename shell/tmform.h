// The main window: the two directions, the language choice, help and the outcome for the host program.
#pragma once

#include <QStringList>
#include <QWidget>
#include <filesystem>

#include "runs/main_window_state.h"
#include "runs/run_frame.h"
#include "shell/qt_dialogs.h"

class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;

namespace shell {

class GradientPanel;

class TMForm : public QWidget {
    Q_OBJECT
public:
    // `arguments` are the command-line arguments after the program name.
    TMForm(const QStringList& arguments, std::filesystem::path workFolder,
           std::filesystem::path programFolder);

    const runs::MainWindowState& state() const { return state_; }
    bool isEmbeddedInHost() const { return embeddedInHost_; }

signals:
    // The window has closed and the program should end (with a foreign host window, the last window
    // closing does not end Qt's event loop by itself).
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;  // FormClose

private:
    void buildControls();
    void FormCreate(const QStringList& arguments);
    void BExportarClick();
    void BImportarClick();
    void Button1Click();
    // What the window does after a run: shows the state the run left and closes in embedded mode.
    void afterRun(runs::RunOutcome outcome);

    GradientPanel* Draw3D1;
    GradientPanel* Draw3D2;
    GradientPanel* Draw3D3;
    QComboBox* ComboBoxValCast;
    QPushButton* BExportar;
    QPushButton* BImportar;
    QPushButton* BClose;
    QPushButton* Button1;
    QLabel* Label1;
    QListWidget* ListBoxPlanti;
    runs::MainWindowState state_;
    QtDialogs dialogs_;
    std::filesystem::path workFolder_;
    std::filesystem::path programFolder_;
    bool embeddedInHost_ = false;
};

}  // namespace shell
