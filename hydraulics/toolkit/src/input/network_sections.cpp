// Second pass over the sections that describe the network's objects.
#include <cmath>

#include "input/input_parser.h"
#include "input/number_text.h"

namespace kvepa2 {

namespace {

bool isBlankCurve(const std::string& token) {
    return token == "*";
}

}  // namespace

int InputParser::junctionData(const TokenizedLine& l) {
    const auto& t = l.tokens;
    if (t.size() < 2)
        return 201;
    const int j = m_.findNode(t[0]);
    double elev = 0.0, demand = 0.0;
    if (!number(t[1], elev))
        return bad_ = t[1], 202;
    if (t.size() > 2 && !number(t[2], demand))
        return bad_ = t[2], 202;
    int pattern = kNone;
    if (t.size() > 3) {
        pattern = m_.findPattern(t[3]);
        if (pattern == kNone)
            return bad_ = t[3], 205;
    }
    Node& n = m_.nodes[static_cast<size_t>(j)];
    n.elevation = elev / lcf();
    n.demands.assign(1, Demand{demand / qcf(), pattern, ""});
    return 0;
}

int InputParser::reservoirData(const TokenizedLine& l) {
    const auto& t = l.tokens;
    if (t.size() < 2 || t.size() > 3)
        return 201;
    const int j = m_.findNode(t[0]);
    double head = 0.0;
    if (!number(t[1], head))
        return bad_ = t[1], 202;
    int pattern = kNone;
    if (t.size() > 2) {
        pattern = m_.findPattern(t[2]);
        if (pattern == kNone)
            return bad_ = t[2], 205;
    }
    Node& n = m_.nodes[static_cast<size_t>(j)];
    n.elevation = head / lcf();
    n.headPattern = pattern;
    return 0;
}

int InputParser::tankData(const TokenizedLine& l) {
    const auto& t = l.tokens;
    if (t.size() < 6)
        return 201;
    const int j = m_.findNode(t[0]);
    double v[6] = {0, 0, 0, 0, 0, 0};  // elevation, init, min, max level, diameter, min volume
    for (size_t i = 1; i < 7 && i < t.size(); ++i) {
        if (!number(t[i], v[i - 1]))
            return bad_ = t[i], 202;
    }
    int curve = kNone;
    if (t.size() > 7 && !isBlankCurve(t[7])) {
        curve = m_.findCurve(t[7]);
        if (curve == kNone)
            return bad_ = t[7], 206;
    }
    bool overflow = false;
    if (t.size() > 8) {
        if (equalsKeyword(t[8], "YES"))
            overflow = true;
        else if (!equalsKeyword(t[8], "NO"))
            return bad_ = t[8], 213;
    }
    if (v[1] < 0.0 || v[2] < 0.0 || v[3] < 0.0 || v[4] < 0.0 || v[5] < 0.0)
        return 209;
    Node& n = m_.nodes[static_cast<size_t>(j)];
    n.elevation = v[0] / lcf();
    n.initLevel = v[1] / lcf();
    n.minLevel = v[2] / lcf();
    n.maxLevel = v[3] / lcf();
    n.diameter = v[4] / lcf();
    n.minVolume = v[5] / vcf();
    setCylinderVolumes(n, v[4], v[1], v[2], v[3], v[5], vcf());
    n.volumeCurve = curve;
    n.canOverflow = overflow;
    if (curve != kNone)
        curveUsedAs_[static_cast<int>(CurveType::Volume)][static_cast<size_t>(curve)] = true;
    return 0;
}

int InputParser::pipeData(const TokenizedLine& l) {
    const auto& t = l.tokens;
    if (t.size() < 6)
        return 201;
    Link& k = m_.links[static_cast<size_t>(m_.findLink(t[0]))];
    const int n1 = nodeBefore(t[1]);
    const int n2 = nodeBefore(t[2]);
    if (n1 == kNone)
        return bad_ = t[1], 203;
    if (n2 == kNone)
        return bad_ = t[2], 203;
    if (n1 == n2)
        return bad_ = t[0], 222;
    double len = 0.0, diam = 0.0, rough = 0.0, minor = 0.0;
    if (!number(t[3], len))
        return bad_ = t[3], 202;
    if (!number(t[4], diam))
        return bad_ = t[4], 202;
    if (!number(t[5], rough))
        return bad_ = t[5], 202;
    LinkType type = LinkType::Pipe;
    LinkStatus status = LinkStatus::Open;
    size_t statusToken = 0;
    if (t.size() > 6) {
        if (number(t[6], minor)) {
            if (t.size() > 7)
                statusToken = 7;
        } else if (t.size() == 7) {
            statusToken = 6;
        } else {
            return bad_ = t[6], 202;
        }
    }
    if (statusToken != 0) {
        const std::string& s = t[statusToken];
        if (equalsKeyword(s, "CV"))
            type = LinkType::CVPipe;
        else if (equalsKeyword(s, "CLOSED"))
            status = LinkStatus::Closed;
        else if (!equalsKeyword(s, "OPEN"))
            return bad_ = s, 213;
    }
    if (len <= 0.0)
        return bad_ = t[3], 202;
    if (diam <= 0.0)
        return bad_ = t[4], 202;
    if (rough <= 0.0)
        return bad_ = t[5], 202;
    if (minor < 0.0)
        return bad_ = t[6], 202;
    k.type = type;
    k.node1 = n1;
    k.node2 = n2;
    k.length = len / lcf();
    k.diameter = diam / dcf();
    k.roughness = m_.options.headloss == HeadlossFormula::DarcyWeisbach
                      ? rough / units::dwRoughnessFactor(m_.options.flowUnits)
                      : rough;
    k.minorLoss = minor;
    k.initStatus = status;
    return 0;
}

int InputParser::pumpData(const TokenizedLine& l) {
    const auto& t = l.tokens;
    if (t.size() < 3)
        return 201;
    Link& k = m_.links[static_cast<size_t>(m_.findLink(t[0]))];
    const int n1 = nodeBefore(t[1]);
    const int n2 = nodeBefore(t[2]);
    if (n1 == kNone)
        return bad_ = t[1], 203;
    if (n2 == kNone)
        return bad_ = t[2], 203;
    if (n1 == n2)
        return bad_ = t[0], 222;
    k.type = LinkType::Pump;
    k.node1 = n1;
    k.node2 = n2;
    k.setting = 1.0;
    k.initStatus = LinkStatus::Open;
    k.headCurve = kNone;
    k.power = 0.0;
    k.speedPattern = kNone;
    for (size_t i = 3; i < t.size(); i += 2) {
        if (i + 1 >= t.size())
            return 201;
        const std::string& key = t[i];
        const std::string& val = t[i + 1];
        double v = 0.0;
        if (matchesKeyword(key, "HEAD")) {
            const int c = m_.findCurve(val);
            if (c == kNone)
                return bad_ = val, 206;
            k.headCurve = c;
            curveUsedAs_[static_cast<int>(CurveType::Pump)][static_cast<size_t>(c)] = true;
        } else if (matchesKeyword(key, "POWER")) {
            if (!number(val, v))
                return bad_ = val, 202;
            if (v <= 0.0)
                return bad_ = val, 202;
            k.power = v / units::powerFactor(m_.options.flowUnits);
        } else if (matchesKeyword(key, "SPEED")) {
            if (!number(val, v))
                return bad_ = val, 202;
            if (v < 0.0)
                return bad_ = val, 202;
            k.setting = v;
        } else if (matchesKeyword(key, "PATTERN")) {
            const int p = m_.findPattern(val);
            if (p == kNone)
                return bad_ = val, 205;
            k.speedPattern = p;
        } else {
            return bad_ = key, 201;
        }
    }

    k.pumpType = k.headCurve == kNone ? PumpType::ConstantPower : PumpType::Custom;
    if (k.setting == 0.0)
        k.initStatus = LinkStatus::Closed;
    return 0;
}

int InputParser::valveData(const TokenizedLine& l) {
    const auto& t = l.tokens;
    if (t.size() < 6)
        return 201;
    Link& k = m_.links[static_cast<size_t>(m_.findLink(t[0]))];
    const int n1 = nodeBefore(t[1]);
    const int n2 = nodeBefore(t[2]);
    if (n1 == kNone)
        return bad_ = t[1], 203;
    if (n2 == kNone)
        return bad_ = t[2], 203;
    if (n1 == n2)
        return bad_ = t[0], 222;
    double diam = 0.0, minor = 0.0, setting = 0.0;
    if (!number(t[3], diam))
        return bad_ = t[3], 202;
    LinkType type;
    const std::string& ty = t[4];
    if (equalsKeyword(ty, "PRV"))
        type = LinkType::PRV;
    else if (equalsKeyword(ty, "PSV"))
        type = LinkType::PSV;
    else if (equalsKeyword(ty, "PBV"))
        type = LinkType::PBV;
    else if (equalsKeyword(ty, "FCV"))
        type = LinkType::FCV;
    else if (equalsKeyword(ty, "TCV"))
        type = LinkType::TCV;
    else if (equalsKeyword(ty, "GPV"))
        type = LinkType::GPV;
    else if (equalsKeyword(ty, "PCV"))
        type = LinkType::PCV;
    else
        return bad_ = ty, 213;
    int curve = kNone;
    if (type == LinkType::GPV) {
        curve = m_.findCurve(t[5]);
        if (curve == kNone)
            return bad_ = t[5], 206;
    } else if (!number(t[5], setting)) {
        return bad_ = t[5], 202;
    }
    if (t.size() > 6 && !number(t[6], minor))
        return bad_ = t[6], 202;
    if (type == LinkType::PCV && t.size() > 7) {
        curve = m_.findCurve(t[7]);
        if (curve == kNone)
            return bad_ = t[7], 206;
    }
    if (diam <= 0.0)
        return bad_ = t[3], 202;
    if (minor < 0.0)
        return bad_ = t[6], 202;
    // Pressure and flow control valves cannot work against a fixed grade.
    const bool fixed1 = m_.nodes[static_cast<size_t>(n1)].type != NodeType::Junction;
    const bool fixed2 = m_.nodes[static_cast<size_t>(n2)].type != NodeType::Junction;
    if ((type == LinkType::PRV || type == LinkType::PSV || type == LinkType::FCV) && (fixed1 || fixed2)) {
        return bad_ = fixed1 ? t[1] : t[2], 219;
    }
    // EPANET 2.3.5 compares a valve with the valves read before it except the link read just
    // before it, whatever its type: PRVs in series that follow each other directly are accepted,
    // the same pair with a pipe, pump or valve read between them is not.
    const Link* previous = &k == m_.links.data() ? nullptr : &k - 1;
    for (const Link& o : m_.links) {
        if (&o == &k || &o == previous || o.node1 == kNone || !isValve(o.type))
            continue;
        const bool clash = (type == LinkType::PRV && o.type == LinkType::PRV &&
                            (n2 == o.node2 || n2 == o.node1 || n1 == o.node2)) ||
                           (type == LinkType::PSV && o.type == LinkType::PSV &&
                            (n1 == o.node1 || n1 == o.node2 || n2 == o.node1)) ||
                           (type == LinkType::PSV && o.type == LinkType::PRV && n1 == o.node2) ||
                           (type == LinkType::PRV && o.type == LinkType::PSV && n2 == o.node1) ||
                           // Nor a PSV downstream or a PRV upstream of an FCV.
                           (type == LinkType::PSV && o.type == LinkType::FCV && n1 == o.node2) ||
                           (type == LinkType::PRV && o.type == LinkType::FCV && n2 == o.node1) ||
                           (type == LinkType::FCV && o.type == LinkType::PSV && n2 == o.node1) ||
                           (type == LinkType::FCV && o.type == LinkType::PRV && n1 == o.node2);
        if (clash)
            return 220;
    }
    k.type = type;
    k.node1 = n1;
    k.node2 = n2;
    k.diameter = diam / dcf();
    k.minorLoss = minor;
    k.minorLossGiven = t.size() > 6;
    k.valveCurve = curve;
    k.initStatus = LinkStatus::Active;
    switch (type) {
        case LinkType::PRV:
        case LinkType::PSV:
        case LinkType::PBV:
            k.setting = setting / pcf();
            break;
        case LinkType::FCV:
            k.setting = setting / qcf();
            break;
        default:
            k.setting = setting;
            break;
    }
    if (curve != kNone) {
        const CurveType use = type == LinkType::GPV ? CurveType::Headloss : CurveType::Valve;
        curveUsedAs_[static_cast<int>(use)][static_cast<size_t>(curve)] = true;
    }
    return 0;
}

int InputParser::demandData(const TokenizedLine& l) {
    const auto& t = l.tokens;
    if (t.size() < 2)
        return 201;
    double base = 0.0;
    if (equalsKeyword(t[0], "MULTIPLY")) {
        if (!number(t[1], base))
            return bad_ = t[1], 202;
        if (base <= 0.0)
            return bad_ = t[1], 202;
        m_.options.demandMultiplier = base;
        return 0;
    }
    const int j = nodeBefore(t[0]);
    if (j == kNone)
        return bad_ = t[0], 203;
    if (!number(t[1], base))
        return bad_ = t[1], 202;
    int pattern = kNone;
    if (t.size() > 2) {
        pattern = m_.findPattern(t[2]);
        if (pattern == kNone)
            return bad_ = t[2], 205;
    }
    // Reservoirs and tanks have no demand.
    if (j >= m_.junctionCount)
        return 0;
    Node& n = m_.nodes[static_cast<size_t>(j)];
    if (!demandsReplaced_[static_cast<size_t>(j)]) {
        n.demands.clear();
        demandsReplaced_[static_cast<size_t>(j)] = true;
    }
    n.demands.push_back(Demand{base / qcf(), pattern, l.comment});
    return 0;
}

int InputParser::linkSettingValue(int link, const std::string& token, bool& isStatus, LinkStatus& status,
                                  double& setting) {
    const Link& k = m_.links[static_cast<size_t>(link)];
    if (equalsKeyword(token, "OPEN") || equalsKeyword(token, "CLOSED")) {
        isStatus = true;
        status = equalsKeyword(token, "OPEN") ? LinkStatus::Open : LinkStatus::Closed;
        if (k.type == LinkType::CVPipe)
            return 207;
        return 0;
    }
    double v = 0.0;
    if (!number(token, v))
        return bad_ = token, 202;
    isStatus = false;
    if (k.type == LinkType::CVPipe || k.type == LinkType::GPV)
        return 207;
    if (isPipe(k.type)) {
        setting = v;  // a pipe has no setting; EPANET accepts the number and ignores it
        return 0;
    }
    if (v < 0.0 && k.type != LinkType::TCV && k.type != LinkType::PBV)
        return bad_ = token, 211;
    switch (k.type) {
        case LinkType::PRV:
        case LinkType::PSV:
        case LinkType::PBV:
            setting = v / pcf();
            break;
        case LinkType::FCV:
            setting = v / qcf();
            break;
        default:
            setting = v;
            break;
    }
    return 0;
}

int InputParser::statusData(const TokenizedLine& l) {
    const auto& t = l.tokens;
    if (t.size() < 2)
        return 201;
    const int j = linkBefore(t[0]);
    if (j == kNone)
        return bad_ = t[0], 204;
    bool isStatus = false;
    LinkStatus status = LinkStatus::Open;
    double setting = 0.0;
    // The last word is the status or setting.
    if (const int code = linkSettingValue(j, t.back(), isStatus, status, setting); code != 0)
        return code;
    Link& k = m_.links[static_cast<size_t>(j)];
    if (!isStatus && isPipe(k.type))
        return 0;
    if (isStatus) {
        k.initStatus = status;
        if (k.type == LinkType::Pump && status == LinkStatus::Open && k.setting == 0.0)
            k.setting = 1.0;
    } else {
        k.setting = setting;
        if (k.type == LinkType::Pump) {
            k.initStatus = setting == 0.0 ? LinkStatus::Closed : LinkStatus::Open;
        } else {
            k.initStatus = LinkStatus::Active;
        }
    }
    return 0;
}

int InputParser::emitterData(const TokenizedLine& l) {
    const auto& t = l.tokens;
    if (t.size() < 2)
        return 201;
    const int j = nodeBefore(t[0]);
    if (j == kNone)
        return bad_ = t[0], 203;
    double k = 0.0;
    if (!number(t[1], k))
        return bad_ = t[1], 202;
    if (k < 0.0)
        return bad_ = t[1], 209;
    // Reservoirs and tanks have no emitters.
    if (j >= m_.junctionCount)
        return 0;
    m_.nodes[static_cast<size_t>(j)].emitterCoeff = k * std::pow(pcf(), m_.options.emitterExponent) / qcf();
    return 0;
}

int InputParser::patternData(const TokenizedLine& l) {
    const auto& t = l.tokens;
    if (t.size() < 2)
        return 201;
    Pattern& p = m_.patterns[static_cast<size_t>(m_.findPattern(t[0]))];
    for (size_t i = 1; i < t.size(); ++i) {
        double v = 0.0;
        if (!number(t[i], v))
            return bad_ = t[i], 202;
        p.factors.push_back(v);
    }
    return 0;
}

int InputParser::curveData(const TokenizedLine& l) {
    const auto& t = l.tokens;
    if (t.size() < 3)
        return 201;
    Curve& c = m_.curves[static_cast<size_t>(m_.findCurve(t[0]))];
    double x = 0.0, y = 0.0;
    if (!number(t[1], x))
        return bad_ = t[1], 202;
    if (!number(t[2], y))
        return bad_ = t[2], 202;
    c.x.push_back(x);
    c.y.push_back(y);
    return 0;
}

int InputParser::energyData(const TokenizedLine& l) {
    // Read for what the hydraulics report (pump energy); the lines are also
    // kept as written.
    const auto& t = l.tokens;
    if (t.size() < 3)
        return 201;
    Options& o = m_.options;
    double v = 0.0;
    if (equalsKeyword(t[0], "GLOBAL")) {
        if (matchesKeyword(t[1], "PATT")) {
            const int p = m_.findPattern(t[2]);
            if (p == kNone)
                return bad_ = t[2], 205;
            o.globalPricePattern = p;
            return 0;
        }
        if (!number(t[2], v))
            return bad_ = t[2], 202;
        if (matchesKeyword(t[1], "EFFI")) {
            if (v <= 0.0 || v > 100.0)
                return bad_ = t[2], 213;
            o.globalEfficiency = v;
        } else if (matchesKeyword(t[1], "PRIC")) {
            o.globalPrice = v;
        } else {
            return bad_ = t[1], 201;
        }
        return 0;
    }
    if (equalsKeyword(t[0], "DEMAND")) {
        if (!number(t[2], v))
            return bad_ = t[2], 202;
        o.demandCharge = v;
        return 0;
    }
    if (equalsKeyword(t[0], "PUMP")) {
        if (t.size() < 4)
            return 201;
        const int j = linkBefore(t[1]);
        if (j == kNone || m_.links[static_cast<size_t>(j)].type != LinkType::Pump)
            return bad_ = t[1], 216;
        Link& k = m_.links[static_cast<size_t>(j)];
        if (matchesKeyword(t[2], "EFFI")) {
            const int c = m_.findCurve(t[3]);
            if (c == kNone)
                return bad_ = t[3], 206;
            k.efficiencyCurve = c;
        } else if (matchesKeyword(t[2], "PRIC")) {
            if (!number(t[3], v))
                return bad_ = t[3], 202;
            k.energyPrice = v;
        } else if (matchesKeyword(t[2], "PATT")) {
            const int p = m_.findPattern(t[3]);
            if (p == kNone)
                return bad_ = t[3], 205;
            k.energyPattern = p;
        } else {
            return bad_ = t[2], 201;
        }
        return 0;
    }
    return bad_ = t[0], 213;
}

// Sections the hydraulics do not use are kept as written, but the objects and patterns they
// name are checked, so that a file is refused here whenever the reference engine refuses it.
int InputParser::keptReferences(Section section, const TokenizedLine& l) {
    const auto& t = l.tokens;
    double v = 0.0;
    const auto numberAt = [&](size_t i) { return i >= t.size() || number(t[i], v) ? 0 : (bad_ = t[i], 202); };
    switch (section) {
        case Section::Quality: {
            // "node value", or "node1 node2 value" for a range, looked up by nobody.
            if (t.size() == 2 && nodeBefore(t[0]) == kNone)
                return bad_ = t[0], 203;
            const size_t at = t.size() == 2 ? 1 : 2;
            if (const int code = numberAt(at))
                return code;
            return v < 0.0 ? (bad_ = t[at], 209) : 0;
        }
        case Section::Sources: {
            if (nodeBefore(t[0]) == kNone)
                return bad_ = t[0], 203;
            if (t.size() < 2)
                return 0;
            if (number(t[1], v))  // the strength without a type, then its pattern
                return t.size() > 2 && m_.findPattern(t[2]) == kNone ? (bad_ = t[2], 205) : 0;
            bool typed = false;
            for (const char* k : {"CONC", "MASS", "SETP", "FLOW"}) typed = typed || matchesKeyword(t[1], k);
            if (!typed)
                return bad_ = t[1], 213;
            if (const int code = numberAt(2))
                return code;
            if (t.size() > 3 && m_.findPattern(t[3]) == kNone)
                return bad_ = t[3], 205;
            return 0;
        }
        case Section::Mixing:
            if (nodeBefore(t[0]) == kNone)
                return bad_ = t[0], 203;
            return 0;
        case Section::Reactions: {
            // Values are read only where a coefficient stands; unknown keywords pass.
            if (t.size() < 3)
                return 0;
            if (matchesKeyword(t[0], "GLOB") && !matchesKeyword(t[1], "BULK") &&
                !matchesKeyword(t[1], "WALL"))
                return bad_ = t[1], 213;
            if (matchesKeyword(t[0], "ORDE") && !matchesKeyword(t[1], "BULK") &&
                !matchesKeyword(t[1], "WALL") && !matchesKeyword(t[1], "TANK"))
                return bad_ = t[1], 213;
            for (const char* k : {"GLOB", "ORDE", "BULK", "WALL", "TANK", "LIMI", "ROUG"})
                if (matchesKeyword(t[0], k))
                    return numberAt(t.size() - 1);
            return bad_ = t[0], 213;
        }
        case Section::Tags:
            if (t.size() < 3)
                return 201;
            if (!equalsKeyword(t[0], "NODE") && !equalsKeyword(t[0], "LINK"))
                return 0;
            // The reference engine names the keyword, not the object, and calls both a node.
            if ((equalsKeyword(t[0], "NODE") ? nodeBefore(t[1]) : linkBefore(t[1])) == kNone)
                return bad_ = t[0], 203;
            return 0;
        case Section::Report:
            return reportLine(t);
        case Section::Options:
            // The quality and file options the hydraulics keep as written.
            if (matchesKeyword(t[0], "DIFF") || matchesKeyword(t[0], "TOLE"))
                return numberAt(1);
            if (matchesKeyword(t[0], "HYDR") && t.size() > 2 && !equalsKeyword(t[1], "USE") &&
                !equalsKeyword(t[1], "SAVE"))
                return bad_ = t[1], 213;
            if (matchesKeyword(t[0], "QUAL") && t.size() > 1 && matchesKeyword(t[1], "TRACE") &&
                (t.size() < 3 || nodeBefore(t[2]) == kNone))
                return bad_ = t.size() < 3 ? "" : t[2], 212;
            return 0;
        default:
            return 0;
    }
}

// [REPORT] lines as the reference engine accepts them: a keyword, or a field name with YES, NO
// or a limit, and the nodes and links to report.
int InputParser::reportLine(const std::vector<std::string>& t) {
    double v = 0.0;
    if (t.size() < 2)
        return 201;
    // Values are taken from the line's last word.
    if (matchesKeyword(t[0], "PAGE")) {
        if (!number(t.back(), v))
            return bad_ = t.back(), 202;
        return v < 0.0 || v > 255.0 ? (bad_ = t.back(), 213) : 0;
    }
    if (matchesKeyword(t[0], "STAT")) {
        if (equalsKeyword(t[1], "FULL"))
            m_.options.statusReport = Options::StatusReport::Full;
        else if (equalsKeyword(t[1], "YES"))
            m_.options.statusReport = Options::StatusReport::Yes;
        else if (equalsKeyword(t[1], "NO"))
            m_.options.statusReport = Options::StatusReport::No;
        return 0;
    }
    for (const char* k : {"SUMM", "MESS", "ENER", "FILE"})
        if (matchesKeyword(t[0], k))
            return 0;
    const bool nodes = matchesKeyword(t[0], "NODE");
    if (nodes || matchesKeyword(t[0], "LINK")) {
        if (t.size() == 2 && (equalsKeyword(t[1], "ALL") || equalsKeyword(t[1], "NONE")))
            return 0;
        for (size_t i = 1; i < t.size(); ++i)
            if ((nodes ? nodeBefore(t[i]) : linkBefore(t[i])) == kNone)
                return bad_ = t[i], nodes ? 203 : 204;
        return 0;
    }
    for (const char* field : {"ELEVATION", "DEMAND", "HEAD", "PRESSURE", "QUALITY", "LENGTH", "DIAMETER",
                              "FLOW", "VELOCITY", "SETTING", "REACTION", "F-FACTOR"}) {
        if (!matchesKeyword(t[0], field))
            continue;
        if (equalsKeyword(t[1], "YES") || equalsKeyword(t[1], "NO"))
            return 0;
        if (!matchesKeyword(t[1], "BELOW") && !matchesKeyword(t[1], "ABOVE") && !matchesKeyword(t[1], "PREC"))
            return 201;
        if (t.size() < 3)
            return 201;
        return number(t.back(), v) ? 0 : (bad_ = t.back(), 202);
    }
    return 201;
}

}  // namespace kvepa2
