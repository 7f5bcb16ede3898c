#include "to_itaca/itaca_codes.h"

#include "formats/centre_document.h"
#include "formats/dbf.h"

namespace to_itaca {
namespace {

namespace centre = formats::centre;

void addAll(CodesOfAKind& kind, const formats::XmlDocument& document, std::string_view path,
            std::string_view attribute) {
    for (const auto& element : document.select(path)) kind.add(element.attribute(attribute));
}

}  // namespace

void CodesOfAKind::add(const AnsiString& code) {
    if (!code.empty()) codes_.insert(code.bytes());
}

const CodesOfAKind::CutCodes& CodesOfAKind::longerThan(std::size_t width) const {
    auto [it, inserted] = longerThan_.try_emplace(width);
    if (inserted) {
        for (const std::string& code : codes_) {
            if (code.size() > width)
                it->second[formats::textAsStored(AnsiString(code), width).bytes()].push_back(code);
        }
    }
    return it->second;
}

AnsiString CodesOfAKind::restore(const AnsiString& stored, std::size_t width) const {
    if (stored.empty() || codes_.count(stored.bytes())) return stored;
    const CutCodes& cut = longerThan(width);
    const auto it = cut.find(stored.bytes());
    // Two codes that read back the same: which one is meant is not known, so the value stays.
    if (it == cut.end() || it->second.size() != 1) return stored;
    return AnsiString(it->second.front());
}

ItacaCodes::ItacaCodes(const formats::XmlDocument& centre) {
    addAll(groups, centre, centre::grupo::path, centre::grupo::codigo);
    addAll(courses, centre, centre::curso::path, centre::curso::codigo);
    addAll(courses, centre, centre::curso_grupo::path, centre::curso_grupo::curso);
    addAll(teachings, centre, centre::ensenanza::path, centre::ensenanza::ensenanza);
    addAll(teachings, centre, centre::grupo::path, centre::grupo::ensenanza);
    addAll(teachings, centre, centre::docente::path, centre::docente::ensenanza);
    addAll(contents, centre, centre::contenido::path, centre::contenido::codigo);
    addAll(rooms, centre, centre::aula::path, centre::aula::codigo);
    addAll(occupations, centre, centre::ocupacion::path, centre::ocupacion::codigo);
    addAll(teachers, centre, centre::docente::path, centre::docente::documento);
}

}  // namespace to_itaca
