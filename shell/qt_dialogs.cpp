#include "shell/qt_dialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QSpacerItem>
#include <QTranslator>

#include "runs/messages.h"
#include "shell/qt_text.h"
#include "shell/tplantillas.h"

namespace shell {

void installSpanish(QApplication& app, QTranslator& translator) {
    if (translator.load(QLocale(QLocale::Spanish, QLocale::Spain), "qtbase", "_",
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        app.installTranslator(&translator);
    }
}

void informBox(QWidget* parent, const QString& text, const QString& details) {
    QMessageBox box(QMessageBox::NoIcon, kApplicationTitle, text, QMessageBox::NoButton, parent);
    box.addButton("Aceptar", QMessageBox::AcceptRole);
    if (!details.isEmpty()) {
        box.setDetailedText(details);
        // The report has a line per table and per reason: a box wide enough for its lines. (QMessageBox sizes
        // the details from their own height hint; a taller minimum would only clip them.)
        if (auto* grid = qobject_cast<QGridLayout*>(box.layout())) {
            grid->addItem(new QSpacerItem(640, 0, QSizePolicy::Minimum, QSizePolicy::Fixed), grid->rowCount(),
                          0, 1, grid->columnCount());
        }
    }
    box.exec();
}

std::optional<std::filesystem::path> QtDialogs::openCentreDocument() {
    QFileDialog dialog(parent_, "Archivo XML");
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilter("*.xml (*.xml)");
    dialog.setDefaultSuffix("xml");
    if (!state_.centreDocumentPath.empty()) {
        dialog.setDirectory(QFileInfo(toQt(state_.centreDocumentPath)).absolutePath());
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return pathFromQt(dialog.selectedFiles().front());
}

void QtDialogs::inform(const runs::AnsiString& text) {
    informBox(parent_, toQt(text));
}

void QtDialogs::informWithDetails(const runs::AnsiString& text, const std::string& details) {
    informBox(parent_, toQt(text), QString::fromStdString(details));
}

bool QtDialogs::confirm(runs::Question question, const runs::AnsiString& text) {
    QMessageBox box(QMessageBox::Question, toQt(runs::messages::kConfirmTitle), toQt(text),
                    QMessageBox::NoButton, parent_);
    QPushButton* yes = box.addButton("&Si", QMessageBox::YesRole);
    QPushButton* no = box.addButton("&No", QMessageBox::NoRole);
    box.setDefaultButton(runs::defaultsToNo(question) ? no : yes);
    box.setEscapeButton(no);
    box.exec();
    return box.clickedButton() == yes;
}

bool QtDialogs::chooseTemplate(runs::TemplateChooser& chooser) {
    TPlantillas window(chooser, parent_);
    window.exec();
    // "Continuar" is only enabled for a template of the document; closed on any other, the run is off.
    return chooser.templateIsKnown();
}

void QtDialogs::busy(bool on) {
    if (on == busy_) return;
    busy_ = on;
    if (on) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
    } else {
        QApplication::restoreOverrideCursor();
    }
}

void QtDialogs::fail(const std::string& message) {
    QMessageBox box(QMessageBox::Critical, kApplicationTitle, QString::fromStdString(message),
                    QMessageBox::NoButton, parent_);
    box.addButton("Aceptar", QMessageBox::AcceptRole);
    box.exec();
}

}  // namespace shell
