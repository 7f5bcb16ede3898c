// The program's fixed texts that are not plain ASCII. Source files are UTF-8; these are converted to
// Windows-1252 here, once, and nowhere else.
#pragma once

#include "formats/text.h"

namespace formats::literals {

inline const AnsiString kValencia = AnsiString::fromUtf8("VALENCIÁ");
inline const AnsiString kCastellano = AnsiString::fromUtf8("CASTELLANO");

// The template chooser in export mode.
inline const AnsiString kExportCaption = AnsiString::fromUtf8("EXPORTACIÓN A ITACA");

// Day names of the day and hour grid, Monday first.
inline const AnsiString kValencianDays[7] = {
    AnsiString::fromUtf8("Dilluns"), AnsiString::fromUtf8("Dimarts"),   AnsiString::fromUtf8("Dimecres"),
    AnsiString::fromUtf8("Dijous"),  AnsiString::fromUtf8("Divendres"), AnsiString::fromUtf8("Dissabte"),
    AnsiString::fromUtf8("Diumenge")};
inline const AnsiString kCastilianDays[7] = {
    AnsiString::fromUtf8("Lunes"),  AnsiString::fromUtf8("Martes"),  AnsiString::fromUtf8("Miércoles"),
    AnsiString::fromUtf8("Jueves"), AnsiString::fromUtf8("Viernes"), AnsiString::fromUtf8("Sábado"),
    AnsiString::fromUtf8("Domingo")};

// The timetable export run.
inline const AnsiString kOpenCentreDocumentFirst = AnsiString::fromUtf8(
    "Deberá Abrir el fichero XML de ITACA,\r\ndesde el cual realizó la Importación a Tavelino");
inline const AnsiString kNoCentreDocumentOrSolution =
    AnsiString::fromUtf8("No existe archivo XML o Solución.");

// The template chooser, while its template box names no template of the document.
inline const AnsiString kUnknownTemplateNote =
    AnsiString::fromUtf8("Escriba o elija una de las plantillas del documento de centro.");

// Refusals and the questions that protect the work folder.
inline const AnsiString kNoTemplates =
    AnsiString::fromUtf8("El documento de centro no define ninguna plantilla horaria.");

inline AnsiString incompleteDocumentQuestion(const std::string& missingSections) {
    return AnsiString::fromUtf8(
        "El documento de centro no contiene: " + missingSections +
        ". Si continúa, las tablas de Tavelino se sustituirán por tablas incompletas. "
        "¿Desea continuar?");
}
inline AnsiString otherTemplateQuestion(const AnsiString& made, const AnsiString& chosen) {
    return AnsiString::fromUtf8("Las tablas de Tavelino se hicieron con la plantilla ") + made +
           AnsiString::fromUtf8(" y ha elegido la plantilla ") + chosen +
           AnsiString::fromUtf8(". Las horas de la solución se leerán con la plantilla ") + chosen +
           AnsiString::fromUtf8(". ¿Desea continuar?");
}

// Confirmation boxes.
inline const AnsiString kConfirmTitle = AnsiString::fromUtf8("Confirmación");

// The conversion run's two questions: lines joined by CR LF, no line break at the end.
inline const AnsiString kAllTemplatesQuestion = AnsiString::fromUtf8(
    "                       !!! I M P O R T A N T E !!!                         \r\n"
    "Se han encontrado Datos que pueden pertenecer a varias Plantillas Horarias.\r\n"
    "RECOMENDAMOS IMPORTAR SOLAMENTE LOS DATOS PERTENECIENTES A UNA SOLA PLANTILLA.\r\n"
    "Si quiere Importar los Datos de todas las Plantillas Pulse el Botón \"Sí\".\r\n"
    "Para Importar solo los Datos de la Plantilla seleccionada,Pulse el Botón \"No\".\r\n"
    "(Recomendamos Pulsar \"No\", y trabajar solo con datos de una Plantilla.)");
inline const AnsiString kRemoveWithoutClassQuestion = AnsiString::fromUtf8(
    "                       !!! I M P O R T A N T E !!!                         \r\n"
    "Existen Grupos de Clase y Profesores que NO tienen Clases en esta Plantilla.\r\n"
    "Tanto, QUITAR como DEJAR estos Grupos y Profesores, No afectará al Horario.\r\n"
    "¿Quieren quitar dichos Grupos y Profesores, del Horario que se va a Importar?.");

}  // namespace formats::literals
