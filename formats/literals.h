// The program's fixed texts that are not plain ASCII. Source files are UTF-8; these are converted to
// Windows-1252 here, once, and nowhere else.
#pragma once

#include "formats/text.h"

namespace formats::literals {

inline const AnsiString kValencia = AnsiString::fromUtf8("VALENCIÁ");
inline const AnsiString kCastellano = AnsiString::fromUtf8("CASTELLANO");

}  // namespace formats::literals
