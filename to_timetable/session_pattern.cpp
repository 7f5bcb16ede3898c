#include "to_timetable/session_pattern.h"

#include <algorithm>

namespace to_timetable {
namespace {

std::string repeated(int digit, int times) {
    return std::string(static_cast<std::size_t>(std::max(times, 0)), static_cast<char>('0' + digit));
}

// Up to fourteen sessions: as many of n periods as fit, the remainder in front.
bool fitsFourteenSessions(int c, int n, int r) {
    return n <= 9 && (c == 14 * n || r <= 9 || r - 9 + n <= 9);
}

}  // namespace

std::string sessionPattern(int c) {
    if (c <= 14) return repeated(1, c);
    const int n = c / 14;
    const int r = c - 13 * n;
    if (fitsFourteenSessions(c, n, r)) {
        if (c == 14 * n) return repeated(n, 14);
        const std::string head = r <= 9 ? std::to_string(r) : "9" + std::to_string(r - 9 + n);
        return (head + repeated(n, 13)).substr(0, 14);
    }
    // Counts the rule above cannot write with single digits: k sessions as even as can be, the longer
    // ones first, no more than 9 periods each and no more than twenty sessions.
    const int k = std::max(14, (c + 8) / 9);
    if (k > 20) return repeated(9, 20);
    const int q = c / k;
    const int longer = c % k;
    return repeated(q + 1, longer) + repeated(q, k - longer);
}

}  // namespace to_timetable
