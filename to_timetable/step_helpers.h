// The rules that several conversion steps share.
#pragma once

#include <optional>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "formats/dbf.h"
#include "formats/xml.h"
#include "runs/lookups.h"
#include "to_timetable/conversion_context.h"

namespace to_timetable {

// The language rule: the Valencian attribute when the language choice is exactly "VALENCIÁ", the
// Castilian one for any other text.
AnsiString nameInLanguage(const formats::XmlElement& element, const AnsiString& language,
                          std::string_view valencian, std::string_view castilian);

// The first 8 characters followed by the last 2.
AnsiString firstEightLastTwo(const AnsiString& code);

// The codes a step has given so far, compared without regard to letter case (accented letters too).
class StepCodeList {
public:
    bool contains(const AnsiString& code) const;
    void add(const AnsiString& code);
    // `base` followed by 1, 2, 3... in decimal: the first that is not in the list.
    AnsiString numbered(const AnsiString& base) const;

private:
    std::unordered_set<std::string> folded_;
};

using runs::lookupNonEmpty;

// The first element, in document order, whose attribute equals a value exactly; an empty value finds none.
class FirstByAttribute {
public:
    FirstByAttribute(const std::vector<formats::XmlElement>& elements, std::string_view attribute);
    std::optional<formats::XmlElement> find(const AnsiString& value) const;

private:
    std::unordered_map<std::string, formats::XmlElement> first_;
};

}  // namespace to_timetable
