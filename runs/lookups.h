// Exact lookups as both runs make them.
#pragma once

#include <optional>
#include <vector>

#include "formats/dbf.h"

namespace runs {

// An exact lookup that finds nothing when any of its values is empty: an empty code names nothing.
inline std::optional<formats::RecNo> lookupNonEmpty(const formats::DbfTable& table,
                                                    const std::vector<formats::FieldMatch>& matches) {
    for (const auto& m : matches) {
        if (m.value.empty()) return std::nullopt;
    }
    return table.locate(matches);
}

}  // namespace runs
