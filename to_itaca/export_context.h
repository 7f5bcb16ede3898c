// What the timetable export run's two section writers share: the open tables, the centre document's
// codes, and the row tests and lookups every SOLUC row goes through.
#pragma once

#include <optional>

#include "formats/dbf.h"
#include "formats/xml.h"
#include "runs/tally.h"
#include "to_itaca/itaca_codes.h"

namespace to_itaca {

// The eight tables, opened in this order and closed in the same order.
struct ExportTables {
    formats::DbfTable soluc, groups, courses, teachers, rooms, catalogue, grid, assignments;
};

struct ExportContext {
    ExportTables& tables;
    const ItacaCodes& codes;
    const AnsiString& templateCode;
    formats::XmlElement root;

    // What the run's report says of it: the SOLUC rows of each kind by what became of them, and how many
    // codes were written whole that a table had cut.
    runs::Tally classRows, occupationRows;
    std::size_t restoredCodes = 0;
    std::vector<std::string> reportLines() const;
};

// A placed row: DIA and HORA are both other than 0 (an empty one reads as 0).
bool isPlaced(const formats::DbfTable& soluc, formats::RecNo row);
// "L" to "D" for days 1 to 7; empty for any other day.
AnsiString dayLetter(const formats::DbfTable& soluc, formats::RecNo row);

// A row of DIASHORAST found by a SOLUC row's hour.
struct Session {
    AnsiString order, from, to;
};
// Found by HORA's text form (formats::numberText) in DIASHORAST's HORA.
std::optional<Session> lookupSession(const formats::DbfTable& grid, const formats::DbfTable& soluc,
                                     formats::RecNo row);

// A new element of `section` named `name`, with the five attributes both sections begin with: the
// template, the day letter and the session's order and times.
formats::XmlElement appendSession(formats::XmlElement& section, std::string_view name,
                                  const ExportContext& run, formats::RecNo row, const Session& session);

// A field's text, with an ITACA code the field had to cut given back whole (and counted).
AnsiString itacaCode(ExportContext& run, const formats::DbfTable& table, formats::RecNo row,
                     std::string_view field, const CodesOfAKind& kind);

// The two sections of the import document, each from a pass over SOLUC.
void WriteGroupSessions(ExportContext& run);
void WriteOccupationSessions(ExportContext& run);

}  // namespace to_itaca
