#include "batch/options.h"

#include <string_view>
#include <vector>

#include "formats/files.h"
#include "formats/literals.h"

namespace batch {
namespace {

using formats::AnsiString;

// A text option arrives in UTF-8 and is held in Windows-1252; malformed UTF-8 is a usage error.
std::optional<AnsiString> textOption(std::string_view value) {
    return AnsiString::fromUtf8Strict(value);
}

// The language box holds one of its two items: either, in any letter case, or VALENCIA without its accent.
// Anything else would silently give Castilian names with Valencian day names.
std::optional<AnsiString> languageOption(const AnsiString& text) {
    for (const AnsiString& item : {formats::literals::kValencia, formats::literals::kCastellano}) {
        if (formats::equalsIgnoreCase(text, item)) return item;
    }
    if (formats::equalsIgnoreCase(text, AnsiString("VALENCIA"))) return formats::literals::kValencia;
    return std::nullopt;
}

}  // namespace

const char* usageText() {
    return "Uso:\n"
           "  TransTavelinoItaca-batch exportar CENTRO.xml [--work-dir DIR] [--plantilla CODIGO] [--idioma "
           "TEXTO]\n"
           "                                               [--todas-plantillas] [--quitar-sin-clases]\n"
           "                                               [--documento-incompleto]\n"
           "  TransTavelinoItaca-batch importar CENTRO.xml [--work-dir DIR] [--plantilla CODIGO] [--idioma "
           "TEXTO]\n"
           "  TransTavelinoItaca-batch restaurar [--work-dir DIR] [--copia NOMBRE] [--listar]\n"
           "  TransTavelinoItaca-batch --help | --version\n"
           "\n"
           "  exportar             del documento de centro de ITACA a las tablas de la carpeta de trabajo\n"
           "  importar             de la solución SOLUC a un documento de importación para ITACA\n"
           "  restaurar            devuelve a la carpeta de trabajo lo que sustituyó una conversión,\n"
           "                       desde su copia en CopiasTransTavelinoItaca (por omisión, la más "
           "reciente)\n"
           "  --work-dir DIR       la carpeta de trabajo (por omisión, C:\\TTEMP tal como la ve Wine)\n"
           "  --plantilla CODIGO   el texto escrito en la casilla de plantilla (por omisión, la "
           "preseleccionada)\n"
           "  --idioma TEXTO       VALENCIÁ o CASTELLANO, la lengua de los nombres (por omisión, VALENCIÁ)\n"
           "  --todas-plantillas   responder \"Si\" a la pregunta de tomar las líneas de todas las "
           "plantillas\n"
           "  --quitar-sin-clases  responder \"Si\" a la pregunta de quitar grupos y profesores sin clases\n"
           "  --documento-incompleto\n"
           "                       convertir aunque al documento de centro le falten plantillas, materias,\n"
           "                       profesorado o grupos (sin esta opción, se rechaza)\n"
           "  --copia NOMBRE       restaurar: la copia que se devuelve\n"
           "  --listar             restaurar: lista las copias, de la más reciente a la más antigua\n"
           "\n"
           "Códigos de salida: 0 terminado, 1 falta la entrada o se rechaza, 2 error de uso, 3 error del "
           "proceso.\n";
}

ParseResult parseOptions(int argc, const char* const* argv) {
    std::vector<std::string_view> args(argv + 1, argv + argc);
    for (std::string_view a : args) {
        if (a == "--help" || a == "-h") return ShowHelp{};
        if (a == "--version") return ShowVersion{};
    }
    if (args.empty()) return UsageError{"falta la orden (exportar o importar)"};
    Options options;
    options.idioma = formats::literals::kValencia;
    if (args[0] == "exportar") {
        options.direction = Direction::Exportar;
    } else if (args[0] == "importar") {
        options.direction = Direction::Importar;
    } else if (args[0] == "restaurar") {
        options.direction = Direction::Restaurar;
    } else {
        return UsageError{"orden desconocida: " + std::string(args[0])};
    }
    bool haveDocument = false;
    for (std::size_t i = 1; i < args.size(); ++i) {
        std::string_view arg = args[i];
        std::optional<std::string_view> inlineValue;
        if (arg.rfind("--", 0) == 0 && arg.find('=') != std::string_view::npos) {
            inlineValue = arg.substr(arg.find('=') + 1);
            arg = arg.substr(0, arg.find('='));
        }
        auto value = [&]() -> std::optional<std::string_view> {
            if (inlineValue) return inlineValue;
            if (i + 1 < args.size()) return args[++i];
            return std::nullopt;
        };
        const bool exporting = options.direction == Direction::Exportar;
        const bool restoring = options.direction == Direction::Restaurar;
        if (restoring && arg == "--copia") {
            const auto v = value();
            if (!v || v->empty()) return UsageError{"falta el nombre de la copia"};
            options.copia = std::string(*v);
        } else if (restoring && !inlineValue && arg == "--listar") {
            options.listar = true;
        } else if (arg == "--work-dir" || (!restoring && (arg == "--plantilla" || arg == "--idioma"))) {
            const auto v = value();
            if (!v) return UsageError{"falta el valor de " + std::string(arg)};
            if (arg == "--work-dir") {
                if (v->empty()) return UsageError{"--work-dir no puede estar vacío"};
                options.workDir = formats::pathFromUtf8(*v);
                continue;
            }
            const auto text = textOption(*v);
            if (!text) return UsageError{"el valor de " + std::string(arg) + " no es UTF-8 válido"};
            if (arg == "--plantilla") {
                options.plantilla = *text;
            } else if (const auto language = languageOption(*text)) {
                options.idioma = *language;
            } else {
                return UsageError{"--idioma debe ser VALENCIÁ o CASTELLANO, no \"" + std::string(*v) + "\""};
            }
        } else if (exporting && !inlineValue && arg == "--todas-plantillas") {
            options.todasPlantillas = true;
        } else if (exporting && !inlineValue && arg == "--quitar-sin-clases") {
            options.quitarSinClases = true;
        } else if (exporting && !inlineValue && arg == "--documento-incompleto") {
            options.documentoIncompleto = true;
        } else if (arg.rfind("-", 0) == 0 && arg != "-") {
            return UsageError{"opción desconocida: " + std::string(args[i])};
        } else if (!haveDocument && !restoring) {
            options.centreDocument = formats::pathFromUtf8(arg);
            haveDocument = true;
        } else {
            return UsageError{"sobra el argumento: " + std::string(arg)};
        }
    }
    if (!haveDocument && options.direction != Direction::Restaurar) {
        return UsageError{"falta el documento de centro (CENTRO.xml)"};
    }
    return options;
}

}  // namespace batch
