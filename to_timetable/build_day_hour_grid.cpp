#include "to_timetable/build_day_hour_grid.h"

#include <charconv>
#include <string>
#include <string_view>

#include "formats/error.h"
#include "formats/literals.h"

namespace to_timetable {
namespace {

using formats::AnsiString;
namespace literals = formats::literals;

struct GridSession {
    AnsiString start, end;
    int order;
    int minutes;
};

AnsiString decimal(long long value) {
    return AnsiString(std::to_string(value));
}

// `count` characters of a session list entry from `position`, counting from 1 as the entry's layout does.
AnsiString charactersAt(const AnsiString& entry, std::size_t position, std::size_t count) {
    return entry.substr(position - 1, count);
}

// A whole number written as Windows programs read one from text: leading blanks, an optional sign, digits.
int wholeNumber(const AnsiString& entry, std::size_t position, std::size_t count) {
    const std::string text = charactersAt(entry, position, count).bytes();
    std::string_view digits = text;
    while (!digits.empty() && digits.front() == ' ') digits.remove_prefix(1);
    const bool negative = !digits.empty() && digits.front() == '-';
    if (!digits.empty() && (digits.front() == '-' || digits.front() == '+')) digits.remove_prefix(1);
    int value = 0;
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (digits.empty() || ec != std::errc() || end != digits.data() + digits.size()) {
        throw formats::Error("La sesión \"" + entry.toUtf8() + "\" no se puede leer: \"" +
                             AnsiString(text).toUtf8() + "\" no es un número entero (se espera \"hh:mm\")");
    }
    return negative ? -value : value;
}

// Positions count from 1: the order in 1-2, the start time "hh:mm" in 7-11, the end time in 15-19.
GridSession parseSessionEntry(const AnsiString& entry) {
    GridSession s;
    s.order = wholeNumber(entry, 1, 2);
    s.start = charactersAt(entry, 7, 5);
    s.end = charactersAt(entry, 15, 5);
    const int startMinutes = wholeNumber(entry, 7, 2) * 60 + wholeNumber(entry, 10, 2);
    const int endMinutes = wholeNumber(entry, 15, 2) * 60 + wholeNumber(entry, 18, 2);
    s.minutes = endMinutes - startMinutes;
    return s;
}

const AnsiString& dayName(const AnsiString& language, int day) {
    return language == literals::kCastellano ? literals::kCastilianDays[day - 1]
                                             : literals::kValencianDays[day - 1];
}

}  // namespace

void BuildDayHourGrid(runs::RunContext& run) {
    formats::DbfTable grid = run.workspace.create(formats::tables::DIASHORAST());
    const auto& sessions = run.state.sessionList;
    for (std::size_t k = 0; k < sessions.size(); ++k) {
        const long long hour = static_cast<long long>(k) + 1;
        const GridSession s = parseSessionEntry(sessions[k]);
        for (int day = 1; day <= 7; ++day) {
            const formats::RecNo row = grid.append();
            grid.setText(row, "DIHO", decimal(day) + decimal(hour));
            grid.setText(row, "DIA", decimal(day));
            grid.setText(row, "TEXTODIA", dayName(run.state.languageChoice, day));
            grid.setText(row, "HORA", decimal(hour));
            grid.setText(row, "TEXTOHOR", decimal(s.order));
            grid.setText(row, "HORADESDE", s.start);
            grid.setText(row, "HORAHASTA", s.end);
            grid.setText(row, "MINUTOS", decimal(s.minutes));
            grid.setInteger(row, "SESION_ORDEN", s.order);
            grid.setText(row, "PLANTILLA", run.state.templateCode);
        }
    }
    grid.close();
}

}  // namespace to_timetable
