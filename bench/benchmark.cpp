// Times the conversion run through the batch tool on synthetic schools of sizes 1 and 10, beside the
// time xmllint takes only to parse the same documents. A measuring program, not a test.
// Usage: benchmark GENERATOR BATCH [REPETITIONS]
#include <unistd.h>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

double secondsOf(const std::string& command) {
    const auto start = std::chrono::steady_clock::now();
    if (std::system(command.c_str()) != 0) {
        std::fprintf(stderr, "benchmark: failed: %s\n", command.c_str());
        std::exit(1);
    }
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "uso: benchmark GENERADOR BATCH [REPETICIONES]\n");
        return 2;
    }
    const std::string generator = argv[1], batch = argv[2];
    const int repetitions = argc > 3 ? std::atoi(argv[3]) : 5;
    const fs::path dir = fs::temp_directory_path() / ("tti-bench-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    std::printf("%-6s %10s %14s %14s\n", "size", "file (MB)", "xmllint (s)", "exportar (s)");
    for (int size : {1, 10}) {
        const fs::path doc = dir / ("centro-" + std::to_string(size) + ".xml");
        secondsOf(generator + " " + std::to_string(size) + " 1 " + doc.string());
        std::vector<double> parse, convert;
        for (int i = 0; i < repetitions; ++i) {
            parse.push_back(secondsOf("xmllint --noout " + doc.string()));
            const fs::path work = dir / "work";
            fs::remove_all(work);
            fs::create_directories(work);
            convert.push_back(secondsOf(batch + " exportar " + doc.string() + " --work-dir " + work.string() +
                                        " >/dev/null 2>&1"));
        }
        std::printf("%-6d %10.1f %14.3f %14.3f\n", size, fs::file_size(doc) / 1e6, median(parse),
                    median(convert));
    }
    fs::remove_all(dir);
    return 0;
}
