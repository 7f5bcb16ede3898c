#include "to_timetable/step_helpers.h"

#include "formats/literals.h"

namespace to_timetable {

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
