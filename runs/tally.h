// Counts a run keeps for its report: how many lines or rows went which way, in the order first counted.
#pragma once

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

namespace runs {

class Tally {
public:
    void add(const std::string& what, std::size_t n = 1) {
        for (auto& [label, count] : counts_) {
            if (label == what) {
                count += n;
                return;
            }
        }
        counts_.emplace_back(what, n);
    }
    std::size_t operator[](const std::string& what) const {
        for (const auto& [label, count] : counts_) {
            if (label == what) return count;
        }
        return 0;
    }
    // "<indent><what>: <count>", one a count.
    void appendLines(std::vector<std::string>& lines, const std::string& indent) const {
        for (const auto& [label, count] : counts_)
            lines.push_back(indent + label + ": " + std::to_string(count));
    }

private:
    std::vector<std::pair<std::string, std::size_t>> counts_;
};

}  // namespace runs
