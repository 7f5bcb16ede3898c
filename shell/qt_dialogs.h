// The Dialogs seam in the window: Qt's open dialog, message boxes, the chooser window and the cursor.
#pragma once

#include <QString>

#include "runs/dialogs.h"
#include "runs/main_window_state.h"

class QApplication;
class QTranslator;
class QWidget;

namespace shell {

inline const char* const kApplicationTitle = "TransTavelinoItaca";

// A plain box with the application title and one button "Aceptar".
void informBox(QWidget* parent, const QString& text, const QString& details = {});

// Qt's own texts (the open dialog, "Mostrar detalles...") in Spanish, from Qt's translations.
void installSpanish(QApplication& app, QTranslator& translator);

class QtDialogs : public runs::Dialogs {
public:
    QtDialogs(QWidget* parent, const runs::MainWindowState& state) : parent_(parent), state_(state) {}

    std::optional<std::filesystem::path> openCentreDocument() override;
    void inform(const runs::AnsiString& text) override;
    void informWithDetails(const runs::AnsiString& text, const std::string& details) override;
    bool confirm(runs::Question question, const runs::AnsiString& text) override;
    bool chooseTemplate(runs::TemplateChooser& chooser) override;
    void busy(bool on) override;
    void warn(const runs::AnsiString&) override {}
    void fail(const std::string& message) override;

private:
    QWidget* parent_;
    const runs::MainWindowState& state_;
    bool busy_ = false;
};

}  // namespace shell
