// SOLUC.DBF of arbitrary bytes beside the converted sample school, through the export run: a run that does
// not finish leaves every folder as it was; a finished one writes a document that agrees with its grid.
#include <cstddef>
#include <cstdint>

#include "fuzz/fuzz_support.h"

namespace {

namespace fs = fuzzing::fs;

// The sample school converted once, copied for each input.
const fuzzing::Snapshot& convertedSample() {
    static const fuzzing::Snapshot files = [] {
        const fs::path folder = fuzzing::freshScratch();
        fs::create_directory(folder / "TTEMP");
        fs::copy_file(fs::path(TTI_SAMPLES_DIR) / "centro.xml", folder / "centro.xml");
        fuzzing::require(
            fuzzing::convert(folder / "centro.xml", folder / "TTEMP") == runs::RunOutcome::Finished,
            "the sample school does not convert");
        return fuzzing::snapshot(folder);
    }();
    return files;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const fuzzing::Snapshot& sample = convertedSample();
    const fs::path folder = fuzzing::freshScratch();
    for (const auto& [name, bytes] : sample) {  // in name order: each folder before what it holds
        if (bytes == "<dir>") {
            fs::create_directories(folder / name);
        } else {
            fuzzing::writeFile(folder / name, bytes);
        }
    }
    fuzzing::writeFile(folder / "TTEMP" / "SOLUC.DBF",
                       std::string(reinterpret_cast<const char*>(data), size));
    fuzzing::exportAndCheck(folder, folder / "centro.xml", folder / "TTEMP");
    return 0;
}
