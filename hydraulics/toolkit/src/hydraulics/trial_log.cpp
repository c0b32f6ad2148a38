#include "hydraulics/trial_log.h"

#include <cstdio>
#include <utility>

#include "hydraulics/hydraulic_simulation.h"
#include "model/clock_text.h"
#include "model/link_type_text.h"
#include "model/model.h"

namespace kvepa2 {

namespace {

// A link cut off for want of head, shut by its tank or shut outright is "closed" alike; one
// that cannot deliver what its setting asks is "open".
const char* statusWord(int code) {
    using S = HydraulicSimulation::LinkStatusCode;
    switch (code) {
        case S::kXHead:
        case S::kTempClosed:
        case S::kClosed:
            return "closed";
        case S::kActive:
            return "active";
        default:
            return "open";
    }
}

}  // namespace

void TrialLog::balancing(long time) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%10s: Balancing the network:", clockText(time).c_str());
    lines_.emplace_back(buf);
    lines_.emplace_back();
}

void TrialLog::trial(int iteration, double relativeChange) {
    char buf[96];
    std::snprintf(buf, sizeof buf, "            Trial %2d: relative flow change = %.6f", iteration,
                  relativeChange);
    lines_.emplace_back(buf);
}

void TrialLog::switched(int link, int from, int to) {
    const char* a = statusWord(from);
    const char* b = statusWord(to);
    if (a == b)
        return;
    const Link& l = model_.links[static_cast<size_t>(link)];
    lines_.push_back(std::string("            ") + linkTypeText(l.type) + " " + l.id + " switched from " + a +
                     " to " + b);
}

void TrialLog::solved(long time, bool balanced, int trials, double relativeChange) {
    char buf[128];
    if (balanced)
        std::snprintf(buf, sizeof buf, "%10s: Balanced after %d trials", clockText(time).c_str(), trials);
    else
        std::snprintf(buf, sizeof buf, "%10s: Unbalanced after %d trials (flow change = %.6f)",
                      clockText(time).c_str(), trials, relativeChange);
    lines_.emplace_back();
    lines_.emplace_back(buf);
}

std::vector<std::string> TrialLog::take() {
    std::vector<std::string> out = std::move(lines_);
    lines_.clear();
    return out;
}

}  // namespace kvepa2
