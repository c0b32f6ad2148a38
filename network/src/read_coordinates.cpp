#include "kelvarn/network/read_coordinates.h"

#include <array>
#include <cmath>
#include <fstream>
#include <locale>
#include <string>

#include "kelvarn/common/keyed_collection.h"
#include "kelvarn/common/number_format.h"
#include "kelvarn/network/network_file_error.h"
#include "kelvarn/network/split_fields.h"

namespace kelvarn::network {
namespace {

enum class Section { kNone, kCoordinates, kVertices };

class LineError {
  public:
    LineError(const std::string& path, int line) : prefix_(path + ", line " + std::to_string(line) + ": ") {}
    [[noreturn]] void Fail(const std::string& what) const { throw NetworkFileError(prefix_ + what); }

  private:
    std::string prefix_;
};

// The input file always writes numbers with a decimal point.
float Coordinate(const std::string& text, const LineError& at) {
    std::optional<double> value = common::ParseNumber(text, std::locale::classic());
    if (!value || !std::isfinite(static_cast<float>(*value))) {
        at.Fail("the coordinate \"" + text + "\" is not a number");
    }
    return static_cast<float>(*value);
}

}  // namespace

void ReadCoordinates(Network& net, const std::string& inputPath) {
    std::ifstream in(inputPath, std::ios::binary);
    if (!in) {
        throw NetworkFileError(inputPath + ": the file cannot be opened");
    }
    std::array<std::string, 51> fields;
    Section section = Section::kNone;
    std::string line;
    int lineNumber = 0;
    while (std::getline(in, line)) {
        ++lineNumber;
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        const std::int32_t count = SplitFields(line, fields);
        if (count == 0) {
            continue;
        }
        if (fields[1][0] == '[') {
            section = fields[1] == "[COORDINATES]" ? Section::kCoordinates
                      : fields[1] == "[VERTICES]"  ? Section::kVertices
                                                   : Section::kNone;
            continue;
        }
        if (section == Section::kNone) {
            continue;
        }
        const LineError at(inputPath, lineNumber);
        // A short line would otherwise take coordinates left over from an earlier one.
        if (count < 3) {
            at.Fail("an ID and two coordinates are expected");
        }
        try {
            if (section == Section::kCoordinates) {
                clsNode& node = net.Nodes.Item(fields[1]);
                const float x = Coordinate(fields[2], at);
                const float y = Coordinate(fields[3], at);
                node.X = x;
                node.Y = y;
            } else {
                clsLink& link = net.Links.Item(fields[1]);
                const float x = Coordinate(fields[2], at);
                const float y = Coordinate(fields[3], at);
                link.Gnodes.Add(x, y);
                link.nGnodes += 1;
            }
        } catch (const common::KeyNotFound&) {
            at.Fail(std::string(section == Section::kCoordinates ? "node" : "link") + " \"" + fields[1] +
                    "\" is not in the network");
        }
    }
    if (in.bad()) {
        throw NetworkFileError(inputPath + ": the file cannot be read");
    }
}

}  // namespace kelvarn::network
