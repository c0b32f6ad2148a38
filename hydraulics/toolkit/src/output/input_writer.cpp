#include "output/input_writer.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "model/link_type_text.h"
#include "model/units.h"

namespace kvepa2 {

namespace {

// The shortest text within a few units in the last place of the value, so
// that a length typed as 12 m comes back as 12 and not 12.000000000000002
// after its round trip through feet.
std::string num(double v) {
    if (!std::isfinite(v) || v == 0.0)
        return "0";
    char buf[64];
    for (int precision = 1; precision <= 15; ++precision) {
        std::snprintf(buf, sizeof buf, "%.*g", precision, v);
        const double rounded = std::strtod(buf, nullptr);
        if (std::fabs(rounded - v) <= 8.0e-15 * std::fabs(v)) {
            v = rounded;  // written in its shortest plain form below
            break;
        }
    }
    auto [ptr, ec] = std::to_chars(buf, buf + sizeof buf, v);
    if (ec != std::errc())
        return "0";
    return std::string(buf, ptr);
}

std::string id(const std::string& s) {
    for (char c : s) {
        if (c == ' ' || c == '\t' || c == ';')
            return "\"" + s + "\"";
    }
    return s;
}

std::string clock(long seconds) {
    char buf[48];
    std::snprintf(buf, sizeof buf, "%ld:%02ld:%02ld", seconds / 3600, (seconds % 3600) / 60, seconds % 60);
    return buf;
}

class Writer {
  public:
    explicit Writer(const Model& m) : m_(m) {}
    std::string text();

  private:
    double qcf() const { return units::flowFactor(m_.options.flowUnits); }
    double lcf() const { return units::lengthFactor(m_.options.flowUnits); }
    double dcf() const { return units::diameterFactor(m_.options.flowUnits); }
    double vcf() const { return units::volumeFactor(m_.options.flowUnits); }
    double pcf() const { return units::pressureFactor(m_.options.pressureUnits, m_.options.specificGravity); }
    std::string pattern(int p) const { return p == kNone ? "" : id(m_.patterns[static_cast<size_t>(p)].id); }
    std::string curve(int c) const { return c == kNone ? "*" : id(m_.curves[static_cast<size_t>(c)].id); }
    std::string node(int n) const { return id(m_.nodes[static_cast<size_t>(n)].id); }
    std::string setting(const Link& k, double internal) const;
    std::string statusWord(LinkStatus s) const {
        return s == LinkStatus::Open ? "OPEN" : s == LinkStatus::Closed ? "CLOSED" : "ACTIVE";
    }

    void nodes();
    void links();
    void demandsAndStatus();
    void patternsAndCurves();
    void controls();
    void options();
    void times();

    const Model& m_;
    std::ostringstream o_;
};

std::string Writer::setting(const Link& k, double v) const {
    switch (k.type) {
        case LinkType::PRV:
        case LinkType::PSV:
        case LinkType::PBV:
            return num(v * pcf());
        case LinkType::FCV:
            return num(v * qcf());
        default:
            return num(v);
    }
}

void Writer::nodes() {
    o_ << "\n[JUNCTIONS]\n;ID\tElev\n";
    for (int j = 0; j < m_.junctionCount; ++j) {
        const Node& n = m_.nodes[static_cast<size_t>(j)];
        o_ << id(n.id) << '\t' << num(n.elevation * lcf()) << '\n';
    }
    o_ << "\n[RESERVOIRS]\n;ID\tHead\tPattern\n";
    for (const Node& n : m_.nodes) {
        if (n.type != NodeType::Reservoir)
            continue;
        o_ << id(n.id) << '\t' << num(n.elevation * lcf()) << '\t' << pattern(n.headPattern) << '\n';
    }
    o_ << "\n[TANKS]\n;ID\tElev\tInitLvl\tMinLvl\tMaxLvl\tDiam\tMinVol\tVolCurve\tOverflow\n";
    for (const Node& n : m_.nodes) {
        if (n.type != NodeType::Tank)
            continue;
        o_ << id(n.id) << '\t' << num(n.elevation * lcf()) << '\t' << num(n.initLevel * lcf()) << '\t'
           << num(n.minLevel * lcf()) << '\t' << num(n.maxLevel * lcf()) << '\t' << num(n.diameter * lcf())
           << '\t' << num(n.minVolume * vcf()) << '\t' << curve(n.volumeCurve)
           << (n.canOverflow ? "\tYES" : "") << '\n';
    }
}

void Writer::links() {
    const double rf = m_.options.headloss == HeadlossFormula::DarcyWeisbach
                          ? units::dwRoughnessFactor(m_.options.flowUnits)
                          : 1.0;
    o_ << "\n[PIPES]\n;ID\tNode1\tNode2\tLength\tDiameter\tRoughness\tMinorLoss\tStatus\n";
    for (const Link& k : m_.links) {
        if (!isPipe(k.type))
            continue;
        o_ << id(k.id) << '\t' << node(k.node1) << '\t' << node(k.node2) << '\t' << num(k.length * lcf())
           << '\t' << num(k.diameter * dcf()) << '\t' << num(k.roughness * rf) << '\t' << num(k.minorLoss)
           << '\t'
           << (k.type == LinkType::CVPipe           ? "CV"
               : k.initStatus == LinkStatus::Closed ? "CLOSED"
                                                    : "OPEN")
           << '\n';
    }
    o_ << "\n[PUMPS]\n;ID\tNode1\tNode2\tParameters\n";
    for (const Link& k : m_.links) {
        if (k.type != LinkType::Pump)
            continue;
        o_ << id(k.id) << '\t' << node(k.node1) << '\t' << node(k.node2);
        if (k.headCurve != kNone)
            o_ << "\tHEAD " << curve(k.headCurve);
        if (k.power > 0.0)
            o_ << "\tPOWER " << num(k.power * units::powerFactor(m_.options.flowUnits));
        if (k.setting != 1.0)
            o_ << "\tSPEED " << num(k.setting);
        if (k.speedPattern != kNone)
            o_ << "\tPATTERN " << pattern(k.speedPattern);
        o_ << '\n';
    }
    o_ << "\n[VALVES]\n;ID\tNode1\tNode2\tDiameter\tType\tSetting\tMinorLoss\n";
    for (const Link& k : m_.links) {
        if (!isValve(k.type))
            continue;
        o_ << id(k.id) << '\t' << node(k.node1) << '\t' << node(k.node2) << '\t' << num(k.diameter * dcf())
           << '\t' << linkTypeText(k.type) << '\t'
           << (k.type == LinkType::GPV ? curve(k.valveCurve) : setting(k, k.setting));
        if (k.minorLossGiven || k.minorLoss != 0.0 || k.type == LinkType::PCV)
            o_ << '\t' << num(k.minorLoss);
        if (k.type == LinkType::PCV && k.valveCurve != kNone)
            o_ << '\t' << curve(k.valveCurve);
        o_ << '\n';
    }
}

void Writer::demandsAndStatus() {
    o_ << "\n[DEMANDS]\n;Junction\tDemand\tPattern\tCategory\n";
    for (int j = 0; j < m_.junctionCount; ++j) {
        const Node& n = m_.nodes[static_cast<size_t>(j)];
        const bool plain = n.demands.size() == 1 && n.demands[0].base == 0.0 &&
                           n.demands[0].pattern == kNone && n.demands[0].category.empty();
        if (plain || n.demands.empty())
            continue;
        for (const Demand& d : n.demands) {
            o_ << id(n.id) << '\t' << num(d.base * qcf()) << '\t' << pattern(d.pattern);
            if (!d.category.empty())
                o_ << "\t;" << d.category;
            o_ << '\n';
        }
    }
    o_ << "\n[STATUS]\n;ID\tStatus/Setting\n";
    for (const Link& k : m_.links) {
        if (k.type == LinkType::Pump && k.initStatus == LinkStatus::Closed) {
            o_ << id(k.id) << "\tCLOSED\n";
        } else if (isValve(k.type) && k.initStatus != LinkStatus::Active) {
            o_ << id(k.id) << '\t' << statusWord(k.initStatus) << '\n';
        }
    }
    o_ << "\n[EMITTERS]\n;Junction\tCoefficient\n";
    for (int j = 0; j < m_.junctionCount; ++j) {
        const Node& n = m_.nodes[static_cast<size_t>(j)];
        if (n.emitterCoeff <= 0.0)
            continue;
        o_ << id(n.id) << '\t' << num(n.emitterCoeff * qcf() / std::pow(pcf(), m_.options.emitterExponent))
           << '\n';
    }
}

void Writer::patternsAndCurves() {
    o_ << "\n[PATTERNS]\n;ID\tMultipliers\n";
    for (const Pattern& p : m_.patterns) {
        if (p.factors.empty()) {
            // A pattern without factors still has to exist for what refers to it.
            o_ << id(p.id) << "\t1\n";
            continue;
        }
        for (size_t i = 0; i < p.factors.size(); i += 6) {
            o_ << id(p.id);
            for (size_t k = i; k < i + 6 && k < p.factors.size(); ++k) o_ << '\t' << num(p.factors[k]);
            o_ << '\n';
        }
    }
    o_ << "\n[CURVES]\n;ID\tX-Value\tY-Value\n";
    for (const Curve& c : m_.curves) {
        double fx = 1.0, fy = 1.0;
        if (c.type == CurveType::Pump || c.type == CurveType::Headloss) {
            fx = qcf();
            fy = lcf();
        } else if (c.type == CurveType::Volume) {
            fx = lcf();
            fy = vcf();
        }
        for (size_t i = 0; i < c.x.size(); ++i) {
            o_ << id(c.id) << '\t' << num(c.x[i] * fx) << '\t' << num(c.y[i] * fy) << '\n';
        }
    }
}

void Writer::controls() {
    o_ << "\n[CONTROLS]\n";
    for (const Control& c : m_.controls) {
        const Link& k = m_.links[static_cast<size_t>(c.link)];
        o_ << "LINK " << id(k.id) << ' ' << (c.setsStatus ? statusWord(c.status) : setting(k, c.setting));
        switch (c.type) {
            case ControlType::LowLevel:
            case ControlType::HiLevel: {
                const Node& n = m_.nodes[static_cast<size_t>(c.node)];
                const double level = (c.grade - n.elevation) * (n.type == NodeType::Junction ? pcf() : lcf());
                o_ << " IF NODE " << id(n.id) << (c.type == ControlType::LowLevel ? " BELOW " : " ABOVE ")
                   << num(level);
                break;
            }
            case ControlType::Timer:
                o_ << " AT TIME " << clock(c.time);
                break;
            case ControlType::TimeOfDay:
                o_ << " AT CLOCKTIME " << clock(c.time);
                break;
        }
        o_ << '\n';
    }
    o_ << "\n[RULES]\n";
    for (const std::string& line : m_.ruleLines) o_ << line << '\n';
}

void Writer::options() {
    const Options& op = m_.options;
    static constexpr const char* kFlow[] = {"CFS", "GPM", "MGD", "IMGD", "AFD", "LPS",
                                            "LPM", "MLD", "CMH", "CMD",  "CMS"};
    static constexpr const char* kPressure[] = {"PSI", "KPA", "METERS", "BAR", "FEET"};
    static constexpr const char* kHeadloss[] = {"H-W", "D-W", "C-M"};
    o_ << "\n[OPTIONS]\n";
    o_ << "UNITS\t" << kFlow[static_cast<int>(op.flowUnits)] << '\n';
    if (op.pressureUnitsGiven)
        o_ << "PRESSURE\t" << kPressure[static_cast<int>(op.pressureUnits)] << '\n';
    o_ << "HEADLOSS\t" << kHeadloss[static_cast<int>(op.headloss)] << '\n';
    o_ << "SPECIFIC GRAVITY\t" << num(op.specificGravity) << '\n';
    o_ << "VISCOSITY\t" << num(op.viscosity / units::kWaterViscosity) << '\n';
    o_ << "TRIALS\t" << op.trials << '\n';
    o_ << "ACCURACY\t" << num(op.accuracy) << '\n';
    o_ << "CHECKFREQ\t" << op.checkFrequency << '\n';
    o_ << "MAXCHECK\t" << op.maxCheck << '\n';
    o_ << "DAMPLIMIT\t" << num(op.dampLimit) << '\n';
    if (op.extraTrials < 0)
        o_ << "UNBALANCED\tSTOP\n";
    else
        o_ << "UNBALANCED\tCONTINUE " << op.extraTrials << '\n';
    o_ << "PATTERN\t" << id(op.defaultPatternId) << '\n';
    o_ << "DEMAND MULTIPLIER\t" << num(op.demandMultiplier) << '\n';
    o_ << "EMITTER EXPONENT\t" << num(op.emitterExponent) << '\n';
    if (!op.emitterBackflow)
        o_ << "EMITTER BACKFLOW\tNO\n";
    o_ << "DEMAND MODEL\t" << (op.demandModel == DemandModel::PDA ? "PDA" : "DDA") << '\n';
    o_ << "MINIMUM PRESSURE\t" << num(op.minimumPressure * pcf()) << '\n';
    o_ << "REQUIRED PRESSURE\t" << num(op.requiredPressure * pcf()) << '\n';
    o_ << "PRESSURE EXPONENT\t" << num(op.pressureExponent) << '\n';
    if (op.headError > 0.0)
        o_ << "HEADERROR\t" << num(op.headError * lcf()) << '\n';
    if (op.flowChange > 0.0)
        o_ << "FLOWCHANGE\t" << num(op.flowChange * qcf()) << '\n';
    for (const std::string& line : op.keptLines) o_ << line << '\n';
}

void Writer::times() {
    const Times& t = m_.times;
    o_ << "\n[TIMES]\n";
    o_ << "DURATION\t" << clock(t.duration) << '\n';
    o_ << "HYDRAULIC TIMESTEP\t" << clock(t.hydraulicStep) << '\n';
    o_ << "QUALITY TIMESTEP\t" << clock(t.qualityStep) << '\n';
    o_ << "RULE TIMESTEP\t" << clock(t.ruleStep) << '\n';
    o_ << "PATTERN TIMESTEP\t" << clock(t.patternStep) << '\n';
    o_ << "PATTERN START\t" << clock(t.patternStart) << '\n';
    o_ << "REPORT TIMESTEP\t" << clock(t.reportStep) << '\n';
    o_ << "REPORT START\t" << clock(t.reportStart) << '\n';
    o_ << "START CLOCKTIME\t" << clock(t.startClockTime) << '\n';
    o_ << "STATISTIC\t" << t.statistic << '\n';
}

std::string Writer::text() {
    o_ << "[TITLE]\n";
    for (const std::string& line : m_.title) o_ << line << '\n';
    nodes();
    links();
    demandsAndStatus();
    patternsAndCurves();
    controls();
    options();
    times();
    for (const KeptSection& k : m_.kept) {
        o_ << "\n[" << k.name << "]\n";
        for (const std::string& line : k.lines) o_ << line << '\n';
    }
    o_ << "\n[END]\n";
    return o_.str();
}

}  // namespace

std::string formatInputText(const Model& model) {
    // No line ends in blanks: an empty optional field is left out altogether.
    const std::string raw = Writer(model).text();
    std::string out;
    out.reserve(raw.size());
    size_t start = 0;
    while (start < raw.size()) {
        size_t end = raw.find('\n', start);
        if (end == std::string::npos)
            end = raw.size();
        size_t last = end;
        while (last > start && (raw[last - 1] == '\t' || raw[last - 1] == ' ')) --last;
        out.append(raw, start, last - start);
        out += '\n';
        start = end + 1;
    }
    return out;
}

int writeInputFile(const Model& model, const std::string& path) {
    if (path.empty())
        return 302;
    const std::string text = formatInputText(model);
    const std::string temp = path + ".kvepa2-part";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (!out)
            return 302;
        out.write(text.data(), static_cast<std::streamsize>(text.size()));
        out.flush();
        if (!out) {
            out.close();
            std::remove(temp.c_str());
            return 302;
        }
    }
    if (std::rename(temp.c_str(), path.c_str()) != 0) {
        std::remove(temp.c_str());
        return 302;
    }
    return 0;
}

}  // namespace kvepa2
