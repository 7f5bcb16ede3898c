// What the runs and the template chooser say and ask, in one place. Source files are UTF-8; these texts are
// converted to Windows-1252 here, once.
#pragma once

#include <string>

#include "formats/text.h"

namespace runs::messages {

using formats::AnsiString;

// The template chooser: the caption of the language box in each mode, the prompt in each mode, and the
// note under the template box while it names no template of the document.
inline const AnsiString kLanguageCaption = AnsiString("Recoger Textos en: -------------->");
inline const AnsiString kExportCaption = AnsiString::fromUtf8("EXPORTACIÓN A ITACA");
inline const AnsiString kPrompt =
    AnsiString("Seleccione la Plantilla Horaria que quiere aplicar a su Horario en Tavelino.");
inline const AnsiString kExportPrompt =
    AnsiString("Seleccione la Plantilla Horaria que quiere aplicar para Exportar su Horario a ITACA.");

// The timetable export run.
inline const AnsiString kOpenCentreDocumentFirst = AnsiString::fromUtf8(
    "Deberá Abrir el fichero XML de ITACA,\r\ndesde el cual realizó la Importación a Tavelino");
inline const AnsiString kNoCentreDocumentOrSolution =
    AnsiString::fromUtf8("No existe archivo XML o Solución.");

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

// The end of a finished run, and the refusal of the conversion run's missing document.
inline const AnsiString kFinished = AnsiString("Proceso finalizado");
inline const AnsiString kNoFile = AnsiString("No existe archivo");

}  // namespace runs::messages
