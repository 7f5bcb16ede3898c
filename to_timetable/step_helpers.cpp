#include "to_timetable/step_helpers.h"

#include "formats/literals.h"

namespace to_timetable {

void ConversionContext::writeCode(formats::DbfTable& table, formats::RecNo row, std::string_view field,
                                  const AnsiString& code) {
    table.setText(row, field, code);
    const std::size_t width = table.width(field);
    if (code.size() <= width) return;
    const std::string tableName = table.path().stem().string();
    const std::string key = tableName + "." + std::string(field) + "\n" + code.bytes();
    if (!warned_.insert(key).second) return;
    dialogs.warn(AnsiString::fromUtf8("aviso: el código \"") + code +
                 AnsiString::fromUtf8("\" (" + std::to_string(code.size()) + " caracteres) no cabe en " +
                                      tableName + "." + std::string(field) + " (" + std::to_string(width) +
                                      ")"));
}

AnsiString nameInLanguage(const formats::XmlElement& element, const AnsiString& language,
                          std::string_view valencian, std::string_view castilian) {
    return element.attribute(language == formats::literals::kValencia ? valencian : castilian);
}

AnsiString firstEightLastTwo(const AnsiString& code) {
    return code.substr(0, 8) + code.substr(code.size() - 2);
}

bool StepCodeList::contains(const AnsiString& code) const {
    return folded_.count(formats::foldCase(code).bytes());
}

void StepCodeList::add(const AnsiString& code) {
    folded_.insert(formats::foldCase(code).bytes());
}

AnsiString StepCodeList::numbered(const AnsiString& base) const {
    for (long long n = 1;; ++n) {
        AnsiString candidate = base + AnsiString(std::to_string(n));
        if (!contains(candidate)) return candidate;
    }
}

FirstByAttribute::FirstByAttribute(const std::vector<formats::XmlElement>& elements,
                                   std::string_view attribute) {
    for (const auto& e : elements) first_.try_emplace(e.attribute(attribute).bytes(), e);
}

std::optional<formats::XmlElement> FirstByAttribute::find(const AnsiString& value) const {
    if (value.empty()) return std::nullopt;
    const auto it = first_.find(value.bytes());
    if (it == first_.end()) return std::nullopt;
    return it->second;
}

}  // namespace to_timetable
