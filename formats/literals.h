// The program's fixed texts that are not plain ASCII. Source files are UTF-8; these are converted to
// Windows-1252 here, once, and nowhere else.
#pragma once

#include "formats/text.h"

namespace formats::literals {

inline const AnsiString kValencia = AnsiString::fromUtf8("VALENCIÁ");
inline const AnsiString kCastellano = AnsiString::fromUtf8("CASTELLANO");

// Day names of the day and hour grid, Monday first.
inline const AnsiString kValencianDays[7] = {
    AnsiString::fromUtf8("Dilluns"), AnsiString::fromUtf8("Dimarts"),   AnsiString::fromUtf8("Dimecres"),
    AnsiString::fromUtf8("Dijous"),  AnsiString::fromUtf8("Divendres"), AnsiString::fromUtf8("Dissabte"),
    AnsiString::fromUtf8("Diumenge")};
inline const AnsiString kCastilianDays[7] = {
    AnsiString::fromUtf8("Lunes"),  AnsiString::fromUtf8("Martes"),  AnsiString::fromUtf8("Miércoles"),
    AnsiString::fromUtf8("Jueves"), AnsiString::fromUtf8("Viernes"), AnsiString::fromUtf8("Sábado"),
    AnsiString::fromUtf8("Domingo")};

}  // namespace formats::literals
