// The centre document's own codes, to give back whole the codes that a workspace field had to cut.
#pragma once

#include <map>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "formats/text.h"
#include "formats/xml.h"

namespace to_itaca {

using formats::AnsiString;

// The codes of one kind (groups, courses, teachings, contents, rooms, occupations or teachers).
class CodesOfAKind {
public:
    void add(const AnsiString& code);
    // A value read from a field `width` characters wide. When no code equals it, and exactly one code of
    // this kind is longer than the field and reads back as the value once cut, that whole code.
    AnsiString restore(const AnsiString& stored, std::size_t width) const;

private:
    // The codes longer than a width, by how they read back once cut to it; built when first asked.
    using CutCodes = std::unordered_map<std::string, std::vector<std::string>>;
    const CutCodes& longerThan(std::size_t width) const;

    std::unordered_set<std::string> codes_;
    mutable std::map<std::size_t, CutCodes> longerThan_;
};

// Every kind the import document names, read from the centre document before its root is replaced.
struct ItacaCodes {
    explicit ItacaCodes(const formats::XmlDocument& centre);
    CodesOfAKind groups, courses, teachings, contents, rooms, occupations, teachers;
};

}  // namespace to_itaca
