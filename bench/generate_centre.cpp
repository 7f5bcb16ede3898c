// Writes a synthetic centre document of a given size, byte-identical for a given seed and size.
// Usage: generate_centre SIZE SEED OUTPUT.xml
//
// At size 1: about 100 teachers drawn from 40 surnames and 30 given names (some beginning with accented
// letters, so that many initials collide), 50 groups, 300 subjects, 5 % of subjects and groups with 11- to
// 13-character codes, two templates whose lines are split 80/20, about 4,000 group timetable lines (10 %
// with a second teacher), 600 occupation lines, 2 % of lines naming an unknown teacher or room, and some
// lines without a room. Every count grows with the size.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// A small generator of our own, so that the output does not depend on the standard library's
// distributions.
class Random {
public:
    explicit Random(std::uint64_t seed) : state_(seed * 2654435761u + 1) {}
    std::uint32_t next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 7;
        state_ ^= state_ << 17;
        return static_cast<std::uint32_t>(state_ >> 11);
    }
    int below(int n) { return static_cast<int>(next() % static_cast<std::uint32_t>(n)); }
    bool percent(int p) { return below(100) < p; }

private:
    std::uint64_t state_;
};

const char* const kSurnames[40] = {
    "García",    "Martínez",  "López",  "Sánchez",   "Pérez",   "Gómez",   "Martín", "Jiménez",
    "Ruiz",      "Hernández", "Díaz",   "Moreno",    "Álvarez", "Muñoz",   "Romero", "Alonso",
    "Gutiérrez", "Navarro",   "Torres", "Domínguez", "Vázquez", "Ramos",   "Gil",    "Ramírez",
    "Serrano",   "Blanco",    "Molina", "Ortega",    "Úbeda",   "Delgado", "Castro", "Ortiz",
    "Rubio",     "Marín",     "Sanz",   "Íñiguez",   "Ferrer",  "Soler",   "Puig",   "Ávila"};
const char* const kGivenNames[30] = {
    "Ana",    "Antonio", "María",    "Manuel", "Carmen", "José",   "Josefa", "Francisco", "Isabel", "David",
    "Laura",  "Juan",    "Cristina", "Javier", "Marta",  "Daniel", "Lucía",  "Carlos",    "Elena",  "Miguel",
    "Àngels", "Óscar",   "Núria",    "Jordi",  "Raquel", "Pau",    "Sílvia", "Ignasi",    "Eva",    "Úrsula"};

struct Group {
    std::string code, course;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "uso: generate_centre TAMAÑO SEMILLA SALIDA.xml\n");
        return 2;
    }
    const int size = std::atoi(argv[1]);
    Random random(static_cast<std::uint64_t>(std::atoll(argv[2])));
    std::FILE* out = std::fopen(argv[3], "wb");
    if (size < 1 || !out) {
        std::fprintf(stderr, "generate_centre: tamaño o salida no válidos\n");
        return 2;
    }
    auto longCode = [&](const std::string& base) {
        std::string code = base;
        while (code.size() < static_cast<std::size_t>(11 + random.below(3)))
            code += static_cast<char>('A' + random.below(26));
        return code;
    };

    std::fprintf(out, "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n");
    std::fprintf(
        out, "<centro codigo=\"46%06d\" denominacion=\"IES Sint%ctic %d\" curso=\"2026\" version=\"1.0\">\n",
        size, 'e', size);

    const char* templates[2] = {"MATI", "VESP"};
    std::fprintf(out, "<plantillas_horario>\n");
    std::fprintf(out,
                 "<plantilla_horario codigo=\"MATI\" descripcion_val=\"Matí\" descripcion_cas=\"Mañana\" "
                 "turno=\"M\"/>\n");
    std::fprintf(out,
                 "<plantilla_horario codigo=\"VESP\" descripcion_val=\"Vesprada\" descripcion_cas=\"Tarde\" "
                 "turno=\"T\"/>\n");
    std::fprintf(out, "</plantillas_horario>\n<sesiones_horario>\n");
    const char* days[5] = {"L", "M", "X", "J", "V"};
    for (int t = 0; t < 2; ++t) {
        for (const char* day : days) {
            for (int s = 1; s <= 7; ++s) {
                const int start = (t == 0 ? 8 * 60 : 15 * 60) + (s - 1) * 55;
                const int end = start + 55;
                std::fprintf(out,
                             "<sesion_horario plantilla=\"%s\" dia_semana=\"%s\" sesion_orden=\"%d\" "
                             "hora_desde=\"%02d:%02d\" hora_hasta=\"%02d:%02d\"/>\n",
                             templates[t], day, s, start / 60, start % 60, end / 60, end % 60);
            }
        }
    }
    std::fprintf(out, "</sesiones_horario>\n");

    const int courseCount = 10 * size, groupCount = 50 * size, subjectCount = 300 * size;
    const int teacherCount = 100 * size, roomCount = 40 * size;
    std::vector<std::string> courses;
    std::fprintf(out,
                 "<ensenanzas>\n<ensenanza ensenanza=\"ESO\" abreviatura=\"ESO\"/>\n<ensenanza "
                 "ensenanza=\"BACH\" abreviatura=\"BAT\"/>\n</ensenanzas>\n<cursos>\n");
    for (int c = 0; c < courseCount; ++c) {
        const std::string code = "C" + std::to_string(1000 + c);
        courses.push_back(code);
        std::fprintf(out, "<curso codigo=\"%s\" abreviatura=\"%d%s%d\" padre=\"%s\" ensenanza=\"%s\"/>\n",
                     code.c_str(), 1 + c % 4, c % 2 ? "BAT" : "ESO", c, c % 3 ? "P" : "",
                     c % 2 ? "BACH" : "ESO");
    }
    std::fprintf(out, "</cursos>\n<contenidos>\n");
    std::vector<std::vector<std::string>> subjectsOfCourse(courses.size());
    for (int s = 0; s < subjectCount; ++s) {
        const int course = s % courseCount;
        std::string code = "S" + std::to_string(s);
        if (random.percent(5)) code = longCode(code);
        subjectsOfCourse[course].push_back(code);
        std::fprintf(
            out,
            "<contenido codigo=\"%s\" nombre_val=\"Matèria %d\" nombre_cas=\"Materia %d\" curso=\"%s\"/>\n",
            code.c_str(), s, s, courses[course].c_str());
    }
    std::fprintf(out, "</contenidos>\n<ocupaciones>\n");
    const int occupationCount = 20;
    for (int o = 0; o < occupationCount; ++o) {
        std::fprintf(
            out, "<ocupacion codigo=\"OC%03d\" nombre_val=\"Ocupació %d\" nombre_cas=\"Ocupación %d\"/>\n", o,
            o, o);
    }
    std::fprintf(out, "</ocupaciones>\n<docentes>\n");
    std::vector<std::string> documents;
    for (int t = 0; t < teacherCount; ++t) {
        const std::string document = std::to_string(10000000 + t) + static_cast<char>('A' + t % 26);
        documents.push_back(document);
        std::fprintf(out,
                     "<docente apellido1=\"%s\" apellido2=\"%s\" nombre=\"%s\" "
                     "fecha_ingreso=\"01/09/20%02d\" documento=\"%s\" ensenanza=\"%s\"/>\n",
                     kSurnames[random.below(40)], kSurnames[random.below(40)], kGivenNames[random.below(30)],
                     t % 25, document.c_str(), t % 2 ? "BACH" : "ESO");
    }
    std::fprintf(out, "</docentes>\n<aulas>\n");
    std::vector<std::string> rooms;
    for (int r = 0; r < roomCount; ++r) {
        const std::string code = r % 10 == 9 ? std::string() : "A" + std::to_string(100 + r);
        if (!code.empty()) rooms.push_back(code);
        std::fprintf(out, "<aula codigo=\"%s\" nombre=\"Aula %d\"/>\n", code.c_str(), 100 + r);
    }
    std::fprintf(out, "</aulas>\n<cursos_grupo>\n");
    std::vector<Group> groups;
    for (int g = 0; g < groupCount; ++g) {
        std::string code = std::to_string(1 + g % 4) + "G" + std::to_string(g);
        if (random.percent(5)) code = longCode(code);
        groups.push_back({code, courses[g % courseCount]});
        std::fprintf(out, "<curso_grupo grupo=\"%s\" curso=\"%s\"/>\n", code.c_str(),
                     groups.back().course.c_str());
    }
    std::fprintf(out, "</cursos_grupo>\n<grupos>\n");
    for (int g = 0; g < groupCount; ++g) {
        std::fprintf(out,
                     "<grupo codigo=\"%s\" nombre=\"Grupo %d\" turno=\"%s\" ensenanza=\"ESO\" "
                     "tutor_ppal=\"%s\" tutor_sec=\"%s\"/>\n",
                     groups[g].code.c_str(), g, g % 5 ? "M" : "T",
                     g % 7 ? documents[random.below(teacherCount)].c_str() : "",
                     documents[random.below(teacherCount)].c_str());
    }
    std::fprintf(out, "</grupos>\n<horarios_grupo>\n");
    // Each group is taught each subject by one teacher, and in 10 % of the periods by a second one too.
    auto orUnknown = [&](const std::string& document) {
        return random.percent(2) ? std::string("99999999Z") : document;
    };
    auto room = [&] {
        if (random.percent(2)) return std::string("NOEXISTE");
        if (random.percent(8)) return std::string();
        return rooms[random.below(static_cast<int>(rooms.size()))];
    };
    std::vector<std::vector<std::pair<int, int>>> teachersOf(groups.size());
    for (std::size_t g = 0; g < groups.size(); ++g) {
        for (std::size_t s = 0; s < subjectsOfCourse[g % courseCount].size(); ++s) {
            teachersOf[g].push_back({random.below(teacherCount), random.below(teacherCount)});
        }
    }
    const int lines = 4000 * size;
    for (int l = 0; l < lines;) {
        const int g = random.below(groupCount);
        const auto& subjects = subjectsOfCourse[g % courseCount];
        if (subjects.empty()) continue;
        const int s = random.below(static_cast<int>(subjects.size()));
        const auto [first, second] = teachersOf[g][s];
        const char* plantilla = random.percent(80) ? "MATI" : "VESP";
        const std::string aula = room();
        const bool twoTeachers = random.percent(10);
        for (int teacher : {first, second}) {
            std::fprintf(
                out,
                "<horario_grupo plantilla=\"%s\" grupo=\"%s\" curso=\"%s\" contenido=\"%s\" docente=\"%s\" "
                "aula=\"%s\"/>\n",
                plantilla, groups[g].code.c_str(), groups[g].course.c_str(), subjects[s].c_str(),
                orUnknown(documents[teacher]).c_str(), aula.c_str());
            ++l;
            if (!twoTeachers) break;
        }
    }
    std::fprintf(out, "</horarios_grupo>\n<horarios_ocupaciones>\n");
    for (int l = 0; l < 600 * size; ++l) {
        std::fprintf(out, "<horario_ocupacion ocupacion=\"OC%03d\" docente=\"%s\" plantilla=\"%s\"/>\n",
                     random.below(occupationCount), orUnknown(documents[random.below(teacherCount)]).c_str(),
                     random.percent(80) ? "MATI" : "VESP");
    }
    std::fprintf(out, "</horarios_ocupaciones>\n</centro>\n");
    return std::fclose(out) == 0 ? 0 : 1;
}
