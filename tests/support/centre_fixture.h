// Small centre documents for the tests, written as the sections they need.
#pragma once

#include <filesystem>
#include <string>

#include "formats/xml.h"
#include "tests/support/files.h"

namespace testing_support {

// A whole centre document around `sections` (UTF-8). Its root carries, besides the four attributes the
// import document keeps, others that it must not copy (its own export time among them).
inline std::string centreDocument(const std::string& sections,
                                  const std::string& rootAttributes =
                                      "codigo=\"46000001\" fecha=\"01/09/2026\" denominacion=\"IES Prova\" "
                                      "curso=\"2026\" fecha_exportacion=\"01/01/2000 00:00:00\" version=\"1.0\" "
                                      "tipo=\"IES\"") {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<centro " + rootAttributes + ">\n" + sections +
           "\n</centro>\n";
}

inline std::filesystem::path writeCentre(const TempDir& dir, const std::string& sections,
                                         const std::string& name = "centro.xml") {
    const auto path = dir / name;
    writeBytes(path, centreDocument(sections));
    return path;
}

// Writes the document and loads it, as a run would.
inline formats::XmlDocument loadCentre(const TempDir& dir, const std::string& sections) {
    return formats::XmlDocument::load(writeCentre(dir, sections));
}

inline std::string templates(const std::string& items) {
    return "<plantillas_horario>" + items + "</plantillas_horario>";
}

inline std::string sessions(const std::string& items) {
    return "<sesiones_horario>" + items + "</sesiones_horario>";
}

inline std::string session(const std::string& plantilla, const std::string& day, const std::string& order,
                           const std::string& from, const std::string& to) {
    return "<sesion_horario plantilla=\"" + plantilla + "\" dia_semana=\"" + day + "\" sesion_orden=\"" +
           order + "\" hora_desde=\"" + from + "\" hora_hasta=\"" + to + "\"/>";
}

}  // namespace testing_support
