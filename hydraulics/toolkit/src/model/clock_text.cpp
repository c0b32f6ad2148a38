#include "model/clock_text.h"

#include <cstdio>

namespace kvepa2 {

std::string clockText(long seconds) {
    char buf[48];
    std::snprintf(buf, sizeof buf, "%ld:%02ld:%02ld", seconds / 3600, (seconds % 3600) / 60, seconds % 60);
    return buf;
}

}  // namespace kvepa2
