#include "input/input_reader.h"

#include <algorithm>
#include <climits>
#include <fstream>
#include <sstream>
#include <unordered_map>

#include "input/input_parser.h"
#include "input/number_text.h"
#include "model/error_text.h"

namespace kvepa2 {

namespace {

// EPANET refuses longer lines.
constexpr size_t kMaxLineLength = 1024;
// Reports stop growing beyond this; the code is the same.
constexpr size_t kMaxReportedErrors = 1000;

}  // namespace

ReadResult readInputText(std::string_view text, Model& model) {
    InputParser parser(model);
    return parser.parse(text);
}

ReadResult readInputFile(const std::string& path, Model& model) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        model = Model{};
        ReadResult r;
        r.code = 302;
        r.errors.push_back({302, "Error 302: " + errorText(302) + " " + path});
        return r;
    }
    std::ostringstream buffer;
    buffer << in.rdbuf();
    return readInputText(buffer.str(), model);
}

void InputParser::error(int code, const std::string& what, const InputLine* line) {
    if (errors_.size() >= kMaxReportedErrors) {
        tooManyErrors_ = true;
        return;
    }
    std::string msg = "Error " + std::to_string(code) + ": " + errorText(code);
    if (!what.empty())
        msg += " " + what;
    if (line != nullptr) {
        msg += " in [" + std::string(sectionName(line->section)) + "] section:\n" + line->text;
    }
    errors_.push_back({code, msg, line != nullptr ? line->number : 0});
}

bool InputParser::number(const std::string& token, double& v) const {
    return parseNumber(token, v);
}

void InputParser::splitLines(std::string_view text) {
    Section section = Section::None;
    size_t pos = 0;
    int lineNumber = 0;
    while (pos <= text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view raw = text.substr(pos, end - pos);
        pos = end + 1;
        if (!raw.empty() && raw.back() == '\r')
            raw.remove_suffix(1);
        InputLine line;
        line.number = ++lineNumber;
        line.text = std::string(raw);
        // A zero byte or other control character is not part of any input format.
        for (char& c : line.text) {
            if (static_cast<unsigned char>(c) < 32 && c != '\t')
                c = ' ';
        }
        // Trailing blanks carry nothing, and the writer drops them too.
        while (!line.text.empty() && (line.text.back() == ' ' || line.text.back() == '\t'))
            line.text.pop_back();
        line.parsed = tokenize(line.text);
        if (line.parsed.tokens.empty()) {
            if (section == Section::Title || isKeptSection(section) || section == Section::Rules) {
                // Comment-only lines of kept sections are kept too.
                if (!line.parsed.comment.empty() && isKeptSection(section)) {
                    line.section = section;
                    lines_.push_back(std::move(line));
                }
            }
            if (end >= text.size())
                break;
            continue;
        }
        if (line.parsed.tokens[0][0] == '[') {
            section = sectionFromHeader(line.parsed.tokens[0]);
            if (section == Section::Unknown) {
                line.section = Section::None;
                error(299, "", nullptr);
                errors_.back().line = line.number;
                errors_.back().message = "Error 299: invalid section keyword " + line.parsed.tokens[0] +
                                         ": section contents ignored.\n" + line.text;
            } else if (section == Section::End) {
                break;
            }
            if (end >= text.size())
                break;
            continue;
        }
        line.section = section;
        if (line.text.size() > kMaxLineLength) {
            error(214, "", &line);
        } else if (section != Section::None && section != Section::Unknown) {
            lines_.push_back(std::move(line));
        }
        if (end >= text.size())
            break;
    }
}

void InputParser::addNode(const InputLine& line, NodeType type, std::vector<Node>& junctions,
                          std::vector<Node>& others) {
    Node n;
    n.id = line.parsed.tokens[0];
    n.type = type;
    (type == NodeType::Junction ? junctions : others).push_back(std::move(n));
}

void InputParser::createObjects() {
    std::vector<Node> junctions, others;
    nodeAt_.clear();
    linkAt_.clear();
    skip_.assign(lines_.size(), false);
    for (size_t i = 0; i < lines_.size(); ++i) {
        const InputLine& line = lines_[i];
        if (line.parsed.tokens.empty())
            continue;  // a comment kept with its section
        const std::string& id = line.parsed.tokens[0];
        const bool named = line.section == Section::Junctions || line.section == Section::Reservoirs ||
                           line.section == Section::Tanks || line.section == Section::Pipes ||
                           line.section == Section::Pumps || line.section == Section::Valves ||
                           line.section == Section::Patterns || line.section == Section::Curves;
        if (named && id.size() > static_cast<size_t>(kMaxIdLength)) {
            bad_ = id;
            error(252, id, &line);
            skip_[i] = true;
            continue;
        }
        switch (line.section) {
            case Section::Junctions:
            case Section::Reservoirs:
            case Section::Tanks: {
                if (nodeAt_.count(id) != 0) {
                    error(215, id, &line);
                    skip_[i] = true;
                    break;
                }
                nodeAt_[id] = i;
                addNode(line,
                        line.section == Section::Junctions    ? NodeType::Junction
                        : line.section == Section::Reservoirs ? NodeType::Reservoir
                                                              : NodeType::Tank,
                        junctions, others);
                break;
            }
            case Section::Pipes:
            case Section::Pumps:
            case Section::Valves: {
                if (linkAt_.count(id) != 0) {
                    error(215, id, &line);
                    skip_[i] = true;
                    break;
                }
                linkAt_[id] = i;
                addLink(line, line.section == Section::Pipes   ? LinkType::Pipe
                              : line.section == Section::Pumps ? LinkType::Pump
                                                               : LinkType::PRV);
                break;
            }
            case Section::Patterns:
                if (m_.findPattern(id) == kNone) {
                    m_.patternIndex[id] = static_cast<int>(m_.patterns.size());
                    m_.patterns.push_back(Pattern{id, {}});
                }
                break;
            case Section::Curves:
                if (m_.findCurve(id) == kNone) {
                    m_.curveIndex[id] = static_cast<int>(m_.curves.size());
                    m_.curves.push_back(Curve{id, CurveType::Generic, {}, {}});
                }
                break;
            case Section::Options:
                current_ = &line;
                readOption(line);
                break;
            case Section::Times:
                current_ = &line;
                readTime(line);
                break;
            default:
                break;
        }
    }
    m_.junctionCount = static_cast<int>(junctions.size());
    m_.tankCount = static_cast<int>(others.size());
    m_.nodes = std::move(junctions);
    for (auto& n : others) m_.nodes.push_back(std::move(n));
    for (size_t i = 0; i < m_.nodes.size(); ++i) m_.nodeIndex[m_.nodes[i].id] = static_cast<int>(i);
}

int InputParser::nodeBefore(const std::string& id) const {
    const auto it = nodeAt_.find(id);
    return it != nodeAt_.end() && it->second < lineAt_ ? m_.findNode(id) : kNone;
}

int InputParser::linkBefore(const std::string& id) const {
    const auto it = linkAt_.find(id);
    return it != linkAt_.end() && it->second < lineAt_ ? m_.findLink(id) : kNone;
}

void InputParser::addLink(const InputLine& line, LinkType type) {
    Link l;
    l.id = line.parsed.tokens[0];
    l.type = type;
    m_.linkIndex[l.id] = static_cast<int>(m_.links.size());
    m_.links.push_back(std::move(l));
}

void InputParser::fillProperties() {
    demandsReplaced_.assign(m_.nodes.size(), false);
    for (auto& used : curveUsedAs_) used.assign(m_.curves.size(), false);
    // Every junction has a demand category, replaced by its first [DEMANDS] line.
    for (int j = 0; j < m_.junctionCount; ++j) m_.nodes[static_cast<size_t>(j)].demands.assign(1, Demand{});
    for (size_t i = 0; i < lines_.size(); ++i) {
        if (skip_[i])
            continue;
        const InputLine& line = lines_[i];
        current_ = &line;
        lineAt_ = i;
        bad_.clear();
        int code = 0;
        switch (line.section) {
            case Section::Title:
                m_.title.push_back(line.text);
                break;
            case Section::Junctions:
                code = junctionData(line.parsed);
                break;
            case Section::Reservoirs:
                code = reservoirData(line.parsed);
                break;
            case Section::Tanks:
                code = tankData(line.parsed);
                break;
            case Section::Pipes:
                code = pipeData(line.parsed);
                break;
            case Section::Pumps:
                code = pumpData(line.parsed);
                break;
            case Section::Valves:
                code = valveData(line.parsed);
                break;
            case Section::Demands:
                code = demandData(line.parsed);
                break;
            case Section::Status:
                code = statusData(line.parsed);
                break;
            case Section::Emitters:
                code = emitterData(line.parsed);
                break;
            case Section::Patterns:
                code = patternData(line.parsed);
                break;
            case Section::Curves:
                code = curveData(line.parsed);
                break;
            case Section::Controls:
                code = controlData(line.parsed);
                break;
            case Section::Rules:
                m_.ruleLines.push_back(line.text);
                code = ruleData(line.parsed);
                break;
            default:
                if (line.section == Section::Energy && !line.parsed.tokens.empty())
                    code = energyData(line.parsed);
                else if (!line.parsed.tokens.empty())
                    code = keptReferences(line.section, line.parsed);
                if (isKeptSection(line.section)) {
                    const std::string name(sectionName(line.section));
                    if (m_.kept.empty() || m_.kept.back().name != name) {
                        KeptSection* found = nullptr;
                        for (auto& k : m_.kept) {
                            if (k.name == name)
                                found = &k;
                        }
                        if (found == nullptr) {
                            m_.kept.push_back(KeptSection{name, {}});
                            found = &m_.kept.back();
                        }
                        found->lines.push_back(line.text);
                    } else {
                        m_.kept.back().lines.push_back(line.text);
                    }
                }
                break;
        }
        if (code != 0)
            error(code, bad_, &line);
    }
}

ReadResult InputParser::parse(std::string_view text) {
    m_ = Model{};
    splitLines(text);
    createObjects();
    finishOptions();
    fillProperties();
    if (errors_.empty()) {
        convertCurves();
        classifyPumps();
    }
    ReadResult r;
    // Reported in file order, as the lines come.
    std::stable_sort(errors_.begin(), errors_.end(), [](const InputError& a, const InputError& b) {
        return (a.line == 0 ? INT_MAX : a.line) < (b.line == 0 ? INT_MAX : b.line);
    });
    r.errors = std::move(errors_);
    if (!r.errors.empty() || tooManyErrors_) {
        r.code = 200;
        m_ = Model{};
    }
    return r;
}

}  // namespace kvepa2
