#include "formats/workspace_tables.h"

namespace formats::tables {
namespace {
FieldDef text(const char* name, std::uint8_t width) {
    return FieldDef::text(name, width);
}
FieldDef boolean(const char* name) {
    return FieldDef::boolean(name);
}
FieldDef integer(const char* name) {
    return FieldDef::integer(name);
}
FieldDef floating(const char* name) {
    return FieldDef::floating(name);
}
}  // namespace

const TableLayout& ASIGNOMT() {
    static const TableLayout layout{
        "ASIGNOMT",
        {text("COD", 10), text("CODLARGO", 10), text("NOMBRE", 80), text("MATERIA", 8), text("CODTAREA", 12),
         boolean("ESTAREA"), text("ABREV_ITACA", 10)}};
    return layout;
}

const TableLayout& PROFT() {
    static const TableLayout layout{
        "PROFT",
        {text("ABREV", 10), text("NOMBRE", 80), text("DEPART", 40), text("DNI", 14), text("X_EMPLEADO", 10),
         text("F_TOMAPOS", 10), text("ENSENANZA", 5)}};
    return layout;
}

const TableLayout& AULAT() {
    static const TableLayout layout{"AULAT",
                                    {text("ABREV", 10), text("NOMBRE", 80), text("EDIFICIO", 1),
                                     integer("MAXALUM"), text("DEPCENTRO", 10), text("ABREV_ITACA", 10)}};
    return layout;
}

const TableLayout& CURSOST() {
    static const TableLayout layout{"CURSOST",
                                    {text("ABREV", 3), text("TURNO", 1), text("NIVEL", 5), text("CURSO", 3),
                                     text("CLAVE", 10), text("ESTUD", 40)}};
    return layout;
}

const TableLayout& GRUPOST() {
    static const TableLayout layout{"GRUPOST",
                                    {text("ABREV", 10), text("TURNO", 1), text("NIVEL", 5), text("CURSO", 3),
                                     text("GRUPO", 2), text("CLAVE", 10), text("CLAVECURSO", 10),
                                     text("DESCRIP", 80), text("ENSENANZA", 10), text("TUTOR", 10)}};
    return layout;
}

const TableLayout& ASIGT() {
    static const TableLayout layout{
        "ASIGT",
        {text("CASIG", 10), text("CPROF", 10), text("CGRUP", 10), text("CAULA", 10), text("TURNO", 1),
         text("NIVEL", 5), text("CURSO", 3), text("GRUPO", 2), floating("HORAS"), text("SESIONES", 20),
         text("NCONEX", 4), text("CLAVE", 10), text("CLAVECURSO", 10), text("CTAREA", 10),
         text("ASIG_ITACA", 10)}};
    return layout;
}

const TableLayout& DIASHORAST() {
    static const TableLayout layout{
        "DIASHORAST",
        {text("DIHO", 10), text("CODDIHO", 10), text("DIA", 20), text("TEXTODIA", 20), text("HORA", 8),
         text("TEXTOHOR", 15), text("HORADESDE", 8), text("HORAHASTA", 8), text("MINUTOS", 8),
         integer("SESION_ORDEN"), text("PLANTILLA", 20)}};
    return layout;
}

}  // namespace formats::tables
