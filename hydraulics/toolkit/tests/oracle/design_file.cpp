#include "design_file.h"

#include <fstream>
#include <sstream>
#include <stdexcept>

namespace kvepa2::oracle {

std::vector<Design> readDesigns(const std::string& path) {
    std::ifstream in(path);
    if (!in) {
        throw std::runtime_error("cannot open designs file " + path);
    }
    int lineNo = 0;
    std::string line;
    auto fail = [&](const std::string& what) {
        throw std::runtime_error(path + ":" + std::to_string(lineNo) + ": " + what);
    };
    auto next = [&]() {
        ++lineNo;
        if (!std::getline(in, line)) {
            fail("unexpected end of file");
        }
        return std::istringstream(line);
    };
    if (next().str().rfind("kvepa2-designs 1", 0) != 0) {
        fail("not a designs file");
    }
    std::vector<Design> designs;
    while (std::getline(in, line)) {
        ++lineNo;
        if (line.empty()) {
            continue;
        }
        std::istringstream header(line);
        std::string word;
        Design d;
        long count = -1;
        if (!(header >> word >> d.number >> count) || word != "design" || count < 0) {
            fail("expected 'design <number> <count>'");
        }
        for (long i = 0; i < count; ++i) {
            LinkSet s;
            // Parsed as float, as the program hands values to the toolkit.
            if (!(next() >> s.index >> s.property >> s.value)) {
                fail("expected '<link index> <property> <value>'");
            }
            d.sets.push_back(s);
        }
        designs.push_back(std::move(d));
    }
    return designs;
}

}  // namespace kvepa2::oracle
