// kvepa2-dump: runs a network through our toolkit with a list of designs, as the program's design
// run does (set link values, ENinitH, ENrunH / ENnextH until the step is 0), and writes every
// hydraulic step in the oracle's dump format.
//
//   kvepa2-dump <network.inp> <designs.txt> <out.dump> [--init F] [--save k1,k2,...] [--save-dir D]
#include <cstdio>
#include <filesystem>
#include <memory>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "design_file.h"
#include "kvepa2/epanet2.h"

namespace {

using kvepa2::oracle::Design;

constexpr long kMaxSteps = 100000;

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

// Same text as the EPANET side: twelve significant digits.
void writeValues(std::FILE* out, const char* key, int count, int (*get)(int, int, float*), int property) {
    std::fputs(key, out);
    for (int i = 1; i <= count; ++i) {
        float v = 0.0f;
        if (get(i, property, &v) != 0) {
            std::fputs(" nan", out);
            continue;
        }
        std::fprintf(out, " %.12g", static_cast<double>(v));
    }
    std::fputc('\n', out);
}

std::string id(int (*get)(int, char*), int index) {
    char buffer[64] = {};  // well beyond EN_MAXID + 1
    get(index, buffer);
    buffer[sizeof buffer - 1] = '\0';
    return buffer;
}

void writeHeader(std::FILE* out, int nodes, int links) {
    std::fprintf(out, "kvepa2-dump 1\nnodes %d\n", nodes);
    for (int i = 1; i <= nodes; ++i) {
        int type = -1;
        ENgetnodetype(i, &type);
        std::fprintf(out, "%s %d\n", id(ENgetnodeid, i).c_str(), type);
    }
    std::fprintf(out, "links %d\n", links);
    for (int j = 1; j <= links; ++j) {
        int type = -1;
        int n1 = 0;
        int n2 = 0;
        ENgetlinktype(j, &type);
        ENgetlinknodes(j, &n1, &n2);
        std::fprintf(out, "%s %d %d %d\n", id(ENgetlinkid, j).c_str(), type, n1, n2);
    }
}

void runDesign(std::FILE* out, const Design& d, int initFlag, int nodes, int links) {
    std::string refused;
    for (std::size_t pos = 0; pos < d.sets.size(); ++pos) {
        const auto& s = d.sets[pos];
        if (int rc = ENsetlinkvalue(s.index, s.property, s.value); rc != 0) {
            refused += (refused.empty() ? "" : ",") + std::to_string(pos) + ":" + std::to_string(rc);
        }
    }
    const int init = ENinitH(initFlag);
    std::fprintf(out, "design %d init %d setfail %s\n", d.number, init,
                 refused.empty() ? "-" : refused.c_str());
    for (long n = 0; n < kMaxSteps; ++n) {
        long t = 0;
        const int code = ENrunH(&t);
        std::fprintf(out, "step %ld %d\n", t, code);
        writeValues(out, "H", nodes, ENgetnodevalue, EN_HEAD);
        writeValues(out, "P", nodes, ENgetnodevalue, EN_PRESSURE);
        writeValues(out, "D", nodes, ENgetnodevalue, EN_DEMAND);
        writeValues(out, "Q", links, ENgetlinkvalue, EN_FLOW);
        writeValues(out, "V", links, ENgetlinkvalue, EN_VELOCITY);
        writeValues(out, "S", links, ENgetlinkvalue, EN_STATUS);
        long tstep = 0;
        const int ncode = ENnextH(&tstep);
        std::fprintf(out, "next %ld %d\n", tstep, ncode);
        if (tstep <= 0 || ncode >= 100 || code >= 100) {
            break;
        }
    }
}

std::set<int> parseList(const std::string& text) {
    std::set<int> out;
    std::istringstream in(text);
    std::string item;
    while (std::getline(in, item, ',')) {
        std::size_t used = 0;
        const int k = std::stoi(item, &used);
        if (used != item.size()) {
            throw std::invalid_argument(item);
        }
        out.insert(k);
    }
    return out;
}

int run(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr,
                     "usage: kvepa2-dump <network.inp> <designs.txt> <out.dump> [--init F] [--save k1,k2] "
                     "[--save-dir D]\n");
        return 2;
    }
    const std::string network = argv[1];
    const std::string outPath = argv[3];
    int initFlag = 1;
    std::set<int> save;
    std::filesystem::path saveDir = ".";
    for (int i = 4; i < argc; ++i) {
        const std::string key = argv[i];
        if (i + 1 >= argc) {
            std::fprintf(stderr, "kvepa2-dump: %s needs a value\n", key.c_str());
            return 2;
        }
        const std::string value = argv[++i];
        try {
            if (key == "--init") {
                initFlag = std::stoi(value);
            } else if (key == "--save") {
                save = parseList(value);
            } else if (key == "--save-dir") {
                saveDir = value;
            } else {
                std::fprintf(stderr, "kvepa2-dump: unknown option %s\n", key.c_str());
                return 2;
            }
        } catch (const std::logic_error&) {
            std::fprintf(stderr, "kvepa2-dump: bad value '%s' for %s\n", value.c_str(), key.c_str());
            return 2;
        }
    }
    const auto designs = kvepa2::oracle::readDesigns(argv[2]);

    // The program's validity check first, as it makes it: ENepanet on the file, then ENopen.
    const int epanetCode = ENepanet(network.c_str(), (outPath + ".epanet.rpt").c_str(), "", nullptr);
    const std::string report = outPath + ".rpt";
    if (int rc = ENopen(network.c_str(), report.c_str(), ""); rc >= 100) {
        std::fprintf(stderr, "kvepa2-dump: ENopen of %s returned %d (see %s)\n", network.c_str(), rc,
                     report.c_str());
        return 1;
    }
    File out(std::fopen(outPath.c_str(), "w"));
    if (!out) {
        std::fprintf(stderr, "kvepa2-dump: cannot write %s\n", outPath.c_str());
        ENclose();
        return 1;
    }
    int nodes = 0;
    int links = 0;
    ENgetcount(EN_NODECOUNT, &nodes);
    ENgetcount(EN_LINKCOUNT, &links);
    writeHeader(out.get(), nodes, links);
    std::fprintf(out.get(), "epanet %d\n", epanetCode);
    if (int rc = ENopenH(); rc >= 100) {
        std::fprintf(stderr, "kvepa2-dump: ENopenH returned %d\n", rc);
        ENclose();
        return 1;
    }
    int status = 0;
    for (const auto& d : designs) {
        runDesign(out.get(), d, initFlag, nodes, links);
        if (save.count(d.number)) {
            const auto file = (saveDir / ("saved-" + std::to_string(d.number) + ".inp")).string();
            if (int rc = ENsaveinpfile(file.c_str()); rc != 0) {
                std::fprintf(stderr, "kvepa2-dump: ENsaveinpfile(%s) returned %d\n", file.c_str(), rc);
                status = 1;
            }
        }
    }
    ENclose();
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        return run(argc, argv);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "kvepa2-dump: %s\n", e.what());
        return 2;
    }
}
