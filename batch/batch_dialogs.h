// The Dialogs seam answered from the batch tool's options: messages on standard output, warnings and
// errors on standard error, questions and the template box from the options.
#pragma once

#include <iosfwd>

#include "batch/options.h"
#include "runs/dialogs.h"

namespace batch {

class BatchDialogs : public runs::Dialogs {
public:
    BatchDialogs(const Options& options, std::ostream& out, std::ostream& err)
        : options_(options), out_(out), err_(err) {}

    std::optional<std::filesystem::path> openCentreDocument() override { return options_.centreDocument; }
    void inform(const runs::AnsiString& text) override;
    void informWithDetails(const runs::AnsiString& text, const std::string& details) override;
    bool confirm(runs::Question question, const runs::AnsiString& text) override;
    bool chooseTemplate(runs::TemplateChooser& chooser) override;
    void busy(bool) override {}
    void warn(const runs::AnsiString& text) override;
    void fail(const std::string& message) override;

private:
    const Options& options_;
    std::ostream& out_;
    std::ostream& err_;
};

// Prints a Windows-1252 message as UTF-8 lines.
void printLines(std::ostream& out, const runs::AnsiString& text);

}  // namespace batch
