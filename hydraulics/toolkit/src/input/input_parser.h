// State of one reading of an input file, shared by the section parsers.
#pragma once

#include <string>
#include <unordered_map>
#include <vector>

#include "input/input_reader.h"
#include "input/section.h"
#include "input/tokenizer.h"
#include "model/model.h"

namespace kvepa2 {

struct InputLine {
    Section section = Section::None;
    int number = 0;    // 1-based line number in the file
    std::string text;  // the line as read
    TokenizedLine parsed;
};

class InputParser {
  public:
    explicit InputParser(Model& model) : m_(model) {}

    ReadResult parse(std::string_view text);

  private:
    // Pass 1.
    void splitLines(std::string_view text);
    void createObjects();
    void addNode(const InputLine& line, NodeType type, std::vector<Node>& junctions,
                 std::vector<Node>& others);
    void addLink(const InputLine& line, LinkType type);
    void readOption(const InputLine& line);
    void readTime(const InputLine& line);
    void finishOptions();

    // Pass 2.
    void fillProperties();
    int junctionData(const TokenizedLine& l);
    int reservoirData(const TokenizedLine& l);
    int tankData(const TokenizedLine& l);
    int pipeData(const TokenizedLine& l);
    int pumpData(const TokenizedLine& l);
    int valveData(const TokenizedLine& l);
    int demandData(const TokenizedLine& l);
    int statusData(const TokenizedLine& l);
    int emitterData(const TokenizedLine& l);
    int patternData(const TokenizedLine& l);
    int curveData(const TokenizedLine& l);
    int energyData(const TokenizedLine& l);
    int keptReferences(Section section, const TokenizedLine& l);
    int reportLine(const std::vector<std::string>& t);
    int controlData(const TokenizedLine& l);
    int ruleData(const TokenizedLine& l);
    int premiseData(const std::vector<std::string>& t, RuleLogic logic, Premise& p);
    int actionData(const std::vector<std::string>& t, RuleAction& a);
    int linkSettingValue(int link, const std::string& token, bool& isStatus, LinkStatus& status,
                         double& setting);

    // After both passes.
    void convertCurves();
    void classifyPumps();

    void error(int code, const std::string& what, const InputLine* line);
    // A node or link named on the current line: the reference engine knows only those defined
    // on earlier lines (patterns and curves may come later). kNone otherwise.
    int nodeBefore(const std::string& id) const;
    int linkBefore(const std::string& id) const;
    bool number(const std::string& token, double& v) const;

    // Model-units-per-internal factors, fixed once the options are read.
    double qcf() const { return units::flowFactor(m_.options.flowUnits); }
    double lcf() const { return units::lengthFactor(m_.options.flowUnits); }
    double dcf() const { return units::diameterFactor(m_.options.flowUnits); }
    double vcf() const { return units::volumeFactor(m_.options.flowUnits); }
    double pcf() const { return units::pressureFactor(m_.options.pressureUnits, m_.options.specificGravity); }

    Model& m_;
    std::vector<InputLine> lines_;
    std::vector<InputError> errors_;
    const InputLine* current_ = nullptr;
    std::string bad_;         // the token an error names
    std::vector<bool> skip_;  // lines of duplicate objects, ignored in pass 2
    std::unordered_map<std::string, size_t> nodeAt_, linkAt_;  // line defining each node, link
    size_t lineAt_ = 0;                                        // the line pass 2 is on
    std::vector<bool> demandsReplaced_;
    std::vector<bool> curveUsedAs_[6];
    Rule* rule_ = nullptr;
    int ruleClause_ = 0;  // 0 none, 1 IF/AND/OR, 2 THEN, 3 ELSE, 4 PRIORITY
    bool ruleBroken_ = false;
    bool tooManyErrors_ = false;
    bool requiredPressureGiven_ = false;
};

}  // namespace kvepa2
