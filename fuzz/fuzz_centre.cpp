// A centre document of arbitrary bytes through the whole conversion run into an empty work folder and,
// when it finishes, a solution made from its assignments through the export run. A run that does not
// finish must leave every folder as it was; a finished export's document must agree with its grid.
#include <cstddef>
#include <cstdint>

#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const fuzzing::fs::path folder = fuzzing::freshScratch();
    const fuzzing::fs::path centre = folder / "centro.xml", work = folder / "TTEMP";
    fuzzing::fs::create_directory(work);
    fuzzing::writeFile(centre, std::string(reinterpret_cast<const char*>(data), size));
    const fuzzing::Snapshot before = fuzzing::snapshot(folder);
    const runs::RunOutcome outcome = fuzzing::convert(centre, work);
    fuzzing::requireUnchangedUnlessFinished(outcome, before, folder, "exportar");
    if (outcome == runs::RunOutcome::Finished) {
        fuzzing::writeSolutionFromAssignments(work);
        fuzzing::exportAndCheck(folder, centre, work);
    }
    return 0;
}
