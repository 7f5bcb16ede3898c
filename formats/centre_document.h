// Where the centre document keeps what the program reads: one namespace per element, with its absolute
// path and the names of the attributes read from it.
#pragma once

#include <string_view>

namespace formats::centre {

using Name = std::string_view;

namespace centro {
inline constexpr Name path = "/centro";
inline constexpr Name element = "centro";
inline constexpr Name codigo = "codigo";
inline constexpr Name denominacion = "denominacion";
inline constexpr Name curso = "curso";
inline constexpr Name version = "version";
inline constexpr Name fecha_exportacion = "fecha_exportacion";  // written by the export
}  // namespace centro

namespace plantilla_horario {
inline constexpr Name path = "/centro/plantillas_horario/plantilla_horario";
inline constexpr Name codigo = "codigo";
inline constexpr Name descripcion_val = "descripcion_val";
inline constexpr Name descripcion_cas = "descripcion_cas";
inline constexpr Name turno = "turno";
}  // namespace plantilla_horario

namespace sesion_horario {
inline constexpr Name path = "/centro/sesiones_horario/sesion_horario";
inline constexpr Name plantilla = "plantilla";
inline constexpr Name dia_semana = "dia_semana";
inline constexpr Name sesion_orden = "sesion_orden";
inline constexpr Name hora_desde = "hora_desde";
inline constexpr Name hora_hasta = "hora_hasta";
}  // namespace sesion_horario

namespace contenido {
inline constexpr Name path = "/centro/contenidos/contenido";
inline constexpr Name codigo = "codigo";
inline constexpr Name nombre_val = "nombre_val";
inline constexpr Name nombre_cas = "nombre_cas";
inline constexpr Name curso = "curso";
}  // namespace contenido

namespace ocupacion {
inline constexpr Name path = "/centro/ocupaciones/ocupacion";
inline constexpr Name codigo = "codigo";
inline constexpr Name nombre_val = "nombre_val";
inline constexpr Name nombre_cas = "nombre_cas";
}  // namespace ocupacion

namespace docente {
inline constexpr Name path = "/centro/docentes/docente";
inline constexpr Name apellido1 = "apellido1";
inline constexpr Name apellido2 = "apellido2";
inline constexpr Name nombre = "nombre";
inline constexpr Name fecha_ingreso = "fecha_ingreso";
inline constexpr Name documento = "documento";
inline constexpr Name ensenanza = "ensenanza";
}  // namespace docente

namespace aula {
inline constexpr Name path = "/centro/aulas/aula";
inline constexpr Name codigo = "codigo";
inline constexpr Name nombre = "nombre";
}  // namespace aula

namespace curso {
inline constexpr Name path = "/centro/cursos/curso";
inline constexpr Name codigo = "codigo";
inline constexpr Name abreviatura = "abreviatura";
inline constexpr Name padre = "padre";
inline constexpr Name ensenanza = "ensenanza";
}  // namespace curso

namespace ensenanza {
inline constexpr Name path = "/centro/ensenanzas/ensenanza";
inline constexpr Name ensenanza = "ensenanza";
inline constexpr Name abreviatura = "abreviatura";
}  // namespace ensenanza

namespace curso_grupo {
inline constexpr Name path = "/centro/cursos_grupo/curso_grupo";
inline constexpr Name grupo = "grupo";
inline constexpr Name curso = "curso";
}  // namespace curso_grupo

namespace grupo {
inline constexpr Name path = "/centro/grupos/grupo";
inline constexpr Name codigo = "codigo";
inline constexpr Name nombre = "nombre";
inline constexpr Name turno = "turno";
inline constexpr Name ensenanza = "ensenanza";
inline constexpr Name tutor_ppal = "tutor_ppal";
inline constexpr Name tutor_sec = "tutor_sec";
}  // namespace grupo

// The two sections of timetable lines: read by the conversion, written by the export into the import
// document, whose lines begin with the attributes of a session (those of `sesion_horario`).
namespace horarios_grupo {
inline constexpr Name element = "horarios_grupo";
}  // namespace horarios_grupo

namespace horario_grupo {
inline constexpr Name path = "/centro/horarios_grupo/horario_grupo";
inline constexpr Name element = "horario_grupo";
inline constexpr Name plantilla = "plantilla";
inline constexpr Name grupo = "grupo";
inline constexpr Name curso = "curso";
inline constexpr Name contenido = "contenido";
inline constexpr Name docente = "docente";
inline constexpr Name aula = "aula";
inline constexpr Name ensenanza = "ensenanza";  // written by the export
inline constexpr Name idioma = "idioma";        // written by the export
}  // namespace horario_grupo

namespace horarios_ocupaciones {
inline constexpr Name element = "horarios_ocupaciones";
}  // namespace horarios_ocupaciones

namespace horario_ocupacion {
inline constexpr Name path = "/centro/horarios_ocupaciones/horario_ocupacion";
inline constexpr Name element = "horario_ocupacion";
inline constexpr Name ocupacion = "ocupacion";
inline constexpr Name docente = "docente";
inline constexpr Name plantilla = "plantilla";
inline constexpr Name ensenanza = "ensenanza";  // written by the export
}  // namespace horario_ocupacion

}  // namespace formats::centre
