// [CONTROLS] and [RULES], parsed into the model's control structures.
#include "input/input_parser.h"
#include "input/number_text.h"

namespace kvepa2 {

int InputParser::controlData(const TokenizedLine& l) {
    const auto& t = l.tokens;
    const size_t n = t.size();
    if (n < 6 || !equalsKeyword(t[0], "LINK"))
        return 201;
    const int j = linkBefore(t[1]);
    if (j == kNone)
        return bad_ = t[1], 204;
    Control c;
    c.link = j;
    bool isStatus = false;
    if (const int code = linkSettingValue(j, t[2], isStatus, c.status, c.setting); code != 0)
        return code;
    c.setsStatus = isStatus;
    if (equalsKeyword(t[3], "IF")) {
        if (n < 8 || !equalsKeyword(t[4], "NODE"))
            return 201;
        const int node = nodeBefore(t[5]);
        if (node == kNone)
            return bad_ = t[5], 203;
        if (equalsKeyword(t[6], "BELOW"))
            c.type = ControlType::LowLevel;
        else if (equalsKeyword(t[6], "ABOVE"))
            c.type = ControlType::HiLevel;
        else
            return bad_ = t[6], 201;
        double v = 0.0;
        if (!number(t[7], v))
            return bad_ = t[7], 202;
        const Node& nd = m_.nodes[static_cast<size_t>(node)];
        c.node = node;
        // Junction thresholds are pressures, tank and reservoir thresholds levels.
        c.grade = nd.elevation + (nd.type == NodeType::Junction ? v / pcf() : v / lcf());
    } else if (equalsKeyword(t[3], "AT")) {
        if (equalsKeyword(t[4], "TIME"))
            c.type = ControlType::Timer;
        else if (equalsKeyword(t[4], "CLOCKTIME"))
            c.type = ControlType::TimeOfDay;
        else
            return bad_ = t[4], 201;
        const long s = parseTime(t[5], n > 6 ? t[6] : std::string());
        if (s < 0)
            return bad_ = t[5], 202;
        c.time = c.type == ControlType::TimeOfDay ? s % 86400 : s;
    } else {
        return bad_ = t[3], 201;
    }
    m_.controls.push_back(c);
    return 0;
}

int InputParser::premiseData(const std::vector<std::string>& t, RuleLogic logic, Premise& p) {
    const size_t n = t.size();
    p.logic = logic;
    size_t i = 1;
    if (n < 2)
        return 201;
    const std::string& obj = t[1];
    if (equalsKeyword(obj, "SYSTEM")) {
        p.object = RuleObject::System;
        i = 2;
    } else if (equalsKeyword(obj, "NODE") || equalsKeyword(obj, "JUNCTION") ||
               equalsKeyword(obj, "RESERVOIR") || equalsKeyword(obj, "TANK")) {
        if (n < 3)
            return 201;
        p.object = RuleObject::Node;
        p.index = nodeBefore(t[2]);
        if (p.index == kNone)
            return bad_ = t[2], 203;
        i = 3;
    } else if (equalsKeyword(obj, "LINK") || equalsKeyword(obj, "PIPE") || equalsKeyword(obj, "PUMP") ||
               equalsKeyword(obj, "VALVE")) {
        if (n < 3)
            return 201;
        p.object = RuleObject::Link;
        p.index = linkBefore(t[2]);
        if (p.index == kNone)
            return bad_ = t[2], 204;
        i = 3;
    } else {
        return bad_ = obj, 201;
    }
    if (n < i + 3)
        return 201;
    static constexpr std::pair<const char*, RuleVariable> kVariables[] = {
        {"DEMAND", RuleVariable::Demand},       {"HEAD", RuleVariable::Head},
        {"GRADE", RuleVariable::Grade},         {"LEVEL", RuleVariable::Level},
        {"PRESSURE", RuleVariable::Pressure},   {"FLOW", RuleVariable::Flow},
        {"STATUS", RuleVariable::Status},       {"SETTING", RuleVariable::Setting},
        {"POWER", RuleVariable::Power},         {"TIME", RuleVariable::Time},
        {"CLOCKTIME", RuleVariable::ClockTime}, {"FILLTIME", RuleVariable::FillTime},
        {"DRAINTIME", RuleVariable::DrainTime},
    };
    bool found = false;
    for (const auto& [name, v] : kVariables) {
        if (equalsKeyword(t[i], name)) {
            p.variable = v;
            found = true;
        }
    }
    if (!found)
        return bad_ = t[i], 201;
    const bool nodeVariable = p.variable == RuleVariable::Demand || p.variable == RuleVariable::Head ||
                              p.variable == RuleVariable::Grade || p.variable == RuleVariable::Level ||
                              p.variable == RuleVariable::Pressure || p.variable == RuleVariable::FillTime ||
                              p.variable == RuleVariable::DrainTime;
    // POWER is a keyword EPANET 2.3.5 refuses on every object; fill and drain times need a
    // tank or reservoir.
    const bool linkVariable = p.variable == RuleVariable::Flow || p.variable == RuleVariable::Status ||
                              p.variable == RuleVariable::Setting;
    if ((p.variable == RuleVariable::FillTime || p.variable == RuleVariable::DrainTime) &&
        p.object == RuleObject::Node && m_.nodes[static_cast<size_t>(p.index)].type == NodeType::Junction)
        return bad_ = t[i], 201;
    const bool systemVariable = p.variable == RuleVariable::Demand || p.variable == RuleVariable::Time ||
                                p.variable == RuleVariable::ClockTime;
    if ((p.object == RuleObject::Node && !nodeVariable) || (p.object == RuleObject::Link && !linkVariable) ||
        (p.object == RuleObject::System && !systemVariable)) {
        return bad_ = t[i], 201;
    }
    static constexpr std::pair<const char*, RuleOperator> kOperators[] = {
        {"=", RuleOperator::EQ},        {"<>", RuleOperator::NE},   {"<=", RuleOperator::LE},
        {">=", RuleOperator::GE},       {"<", RuleOperator::LT},    {">", RuleOperator::GT},
        {"IS", RuleOperator::IS},       {"NOT", RuleOperator::NOT}, {"BELOW", RuleOperator::BELOW},
        {"ABOVE", RuleOperator::ABOVE},
    };
    found = false;
    for (const auto& [name, op] : kOperators) {
        if (equalsKeyword(t[i + 1], name)) {
            p.op = op;
            found = true;
        }
    }
    if (!found)
        return bad_ = t[i + 1], 201;
    const std::string& value = t[i + 2];
    // A value may carry a unit word (a time's); any other word after it is an error.
    const bool timeVariable = p.variable == RuleVariable::Time || p.variable == RuleVariable::ClockTime;
    if (n > i + 4 || (n == i + 4 && p.object != RuleObject::System))
        return 201;
    if (n == i + 4 && !timeVariable)
        return bad_ = value, 202;
    if (p.variable == RuleVariable::Status) {
        p.comparesStatus = true;
        if (equalsKeyword(value, "OPEN"))
            p.status = LinkStatus::Open;
        else if (equalsKeyword(value, "CLOSED"))
            p.status = LinkStatus::Closed;
        else if (equalsKeyword(value, "ACTIVE"))
            p.status = LinkStatus::Active;
        else
            return bad_ = value, 201;
        return 0;
    }
    if (p.variable == RuleVariable::Time || p.variable == RuleVariable::ClockTime) {
        const long s = parseTime(value, n > i + 3 ? t[i + 3] : std::string());
        if (s < 0)
            return bad_ = value, 202;
        p.value = static_cast<double>(s);
        return 0;
    }
    double v = 0.0;
    if (!number(value, v))
        return bad_ = value, 202;
    double tol = 0.001;  // in the units of the file, as the value
    switch (p.variable) {
        case RuleVariable::Demand:
        case RuleVariable::Flow:
            v /= qcf();
            tol /= qcf();
            break;
        case RuleVariable::Head:
        case RuleVariable::Grade:
        case RuleVariable::Level:
            v /= lcf();
            tol /= lcf();
            break;
        case RuleVariable::Pressure:
            v /= pcf();
            tol /= pcf();
            break;
        case RuleVariable::FillTime:
        case RuleVariable::DrainTime:
            v *= units::kSecondsPerHour;
            tol *= units::kSecondsPerHour;
            break;
        case RuleVariable::Setting: {
            const Link& k = m_.links[static_cast<size_t>(p.index)];
            const double f = k.type == LinkType::PRV || k.type == LinkType::PSV || k.type == LinkType::PBV
                                 ? pcf()
                             : k.type == LinkType::FCV ? qcf()
                                                       : 1.0;
            v /= f;
            tol /= f;
            break;
        }
        default:
            break;
    }
    p.value = v;
    p.tolerance = tol;
    return 0;
}

int InputParser::actionData(const std::vector<std::string>& t, RuleAction& a) {
    if (t.size() != 6)
        return 201;
    const std::string& obj = t[1];
    if (!(equalsKeyword(obj, "LINK") || equalsKeyword(obj, "PIPE") || equalsKeyword(obj, "PUMP") ||
          equalsKeyword(obj, "VALVE"))) {
        return bad_ = obj, 201;
    }
    a.link = linkBefore(t[2]);
    if (a.link == kNone)
        return bad_ = t[2], 204;
    if (!equalsKeyword(t[4], "IS") && t[4] != "=")
        return bad_ = t[4], 201;
    const Link& k = m_.links[static_cast<size_t>(a.link)];
    if (equalsKeyword(t[3], "STATUS")) {
        if (k.type == LinkType::CVPipe)
            return 207;
        a.setsStatus = true;
        if (equalsKeyword(t[5], "OPEN"))
            a.status = LinkStatus::Open;
        else if (equalsKeyword(t[5], "CLOSED"))
            a.status = LinkStatus::Closed;
        else if (equalsKeyword(t[5], "ACTIVE"))
            a.status = LinkStatus::Active;
        else
            return bad_ = t[5], 201;
    } else if (equalsKeyword(t[3], "SETTING")) {
        if (k.type == LinkType::CVPipe || k.type == LinkType::GPV)
            return 207;
        double v = 0.0;
        if (!number(t[5], v))
            return bad_ = t[5], 202;
        if (v < 0.0)
            return bad_ = t[5], 202;
        a.setsStatus = false;
        if (k.type == LinkType::PRV || k.type == LinkType::PSV || k.type == LinkType::PBV)
            v /= pcf();
        else if (k.type == LinkType::FCV)
            v /= qcf();
        a.setting = v;
    } else {
        return bad_ = t[3], 201;
    }
    return 0;
}

int InputParser::ruleData(const TokenizedLine& l) {
    const auto& t = l.tokens;
    const std::string& key = t[0];
    if (equalsKeyword(key, "RULE")) {
        if (t.size() < 2)
            return 201;
        m_.rules.push_back(Rule{});
        rule_ = &m_.rules.back();
        rule_->label = t[1];
        ruleClause_ = 0;
        ruleBroken_ = false;
        // A label is one word.
        return t.size() > 2 ? 201 : 0;
    }
    if (rule_ == nullptr)
        return 221;
    if (ruleBroken_)
        return 0;
    int code = 0;
    if (equalsKeyword(key, "IF")) {
        if (ruleClause_ != 0)
            code = 221;
        else {
            Premise p;
            code = premiseData(t, RuleLogic::If, p);
            if (code == 0)
                rule_->premises.push_back(p);
            ruleClause_ = 1;
        }
    } else if (equalsKeyword(key, "AND") || equalsKeyword(key, "OR")) {
        const bool isOr = equalsKeyword(key, "OR");
        if (ruleClause_ == 1) {
            Premise p;
            code = premiseData(t, isOr ? RuleLogic::Or : RuleLogic::And, p);
            if (code == 0)
                rule_->premises.push_back(p);
        } else if ((ruleClause_ == 2 || ruleClause_ == 3) && !isOr) {
            RuleAction a;
            code = actionData(t, a);
            if (code == 0)
                (ruleClause_ == 2 ? rule_->thenActions : rule_->elseActions).push_back(a);
        } else {
            code = 221;
        }
    } else if (equalsKeyword(key, "THEN")) {
        if (ruleClause_ != 1)
            code = 221;
        else {
            RuleAction a;
            code = actionData(t, a);
            if (code == 0)
                rule_->thenActions.push_back(a);
            ruleClause_ = 2;
        }
    } else if (equalsKeyword(key, "ELSE")) {
        if (ruleClause_ != 2)
            code = 221;
        else {
            RuleAction a;
            code = actionData(t, a);
            if (code == 0)
                rule_->elseActions.push_back(a);
            ruleClause_ = 3;
        }
    } else if (equalsKeyword(key, "PRIORITY")) {
        if (ruleClause_ != 2 && ruleClause_ != 3)
            code = 221;
        else if (t.size() < 2)
            code = 201;
        else if (!number(t[1], rule_->priority))
            code = (bad_ = t[1], 202);
        else
            ruleClause_ = 4;
    } else {
        code = (bad_ = key, 201);
    }
    if (code != 0)
        ruleBroken_ = true;
    return code;
}

}  // namespace kvepa2
