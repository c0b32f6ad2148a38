// Hydraulics for tests: values scripted per period, or computed from the link
// values the design wrote, so that decoding, penalties and the process can be
// checked against numbers worked out by hand.
#pragma once

#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "kelvarn/binding/toolkit.h"
#include "kelvarn/design/hydraulic_model.h"

namespace kelvarn::design::testing {

struct Period {
    std::map<int, float> pressure;  // by node index
    std::map<int, float> demand;
    std::map<int, float> velocity;  // by link index
    int runCode = 0;
};

// (link index, code) -> value as last set.
using LinkValues = std::map<std::pair<int, int>, float>;

// The sum of the diameters written, for hydraulics that follow the design.
inline float DiameterSum(const LinkValues& values) {
    float sum = 0;
    for (const auto& [key, value] : values) {
        sum += key.second == binding::en::DIAMETER ? value : 0.0f;
    }
    return sum;
}

class ScriptedModel final : public HydraulicModel {
  public:
    // Fixed periods, whatever the design.
    std::vector<Period> periods;
    // When set, the periods are computed from the link values at ENinitH.
    std::function<std::vector<Period>(const LinkValues&)> hydraulics;

    std::vector<std::tuple<int, int, float>> sets;  // every ENsetlinkvalue call, in order
    LinkValues linkValues;
    int opens = 0, closes = 0, openHs = 0, inits = 0, queryCode = 0, saveCode = 0;
    std::vector<std::string> openedWith;  // input, report, output of the last ENopen

    int ENopen(const std::string& inp, const std::string& rpt, const std::string& out) override {
        ++opens;
        openedWith = {inp, rpt, out};
        return 0;
    }
    int ENclose() override {
        ++closes;
        return 0;
    }
    int ENopenH() override {
        ++openHs;
        return 0;
    }
    int ENinitH(int) override {
        ++inits;
        if (hydraulics) {
            periods = hydraulics(linkValues);
        }
        current_ = 0;
        return 0;
    }
    int ENrunH(long& t) override {
        t = 3600L * current_;
        return periods.at(current_).runCode;
    }
    int ENnextH(long& step) override {
        ++current_;
        step = current_ < periods.size() ? 3600 : 0;
        return 0;
    }
    int ENgetnodevalue(int index, int code, float& value) override {
        const Period& p = periods.at(current_);
        value = code == binding::en::PRESSURE ? Lookup(p.pressure, index) : Lookup(p.demand, index);
        return queryCode;
    }
    int ENgetlinkvalue(int index, int, float& value) override {
        value = Lookup(periods.at(current_).velocity, index);
        return queryCode;
    }
    int ENsetlinkvalue(int index, int code, float value) override {
        sets.emplace_back(index, code, value);
        linkValues[{index, code}] = value;
        return 0;
    }
    // Writes the designed link values, one "index code value" line each.
    int ENsaveinpfile(const std::string& fileName) override {
        if (saveCode != 0) {
            return saveCode;
        }
        std::ofstream out(fileName);
        for (const auto& [key, value] : linkValues) {
            out << key.first << ' ' << key.second << ' ' << value << '\n';
        }
        return 0;
    }

  private:
    static float Lookup(const std::map<int, float>& values, int index) {
        auto found = values.find(index);
        return found == values.end() ? 0.0f : found->second;
    }
    std::size_t current_ = 0;
};

}  // namespace kelvarn::design::testing
