// kvepa2-dump: runs a network through our toolkit with a list of designs, as the program's design
// run does (ENepanet on the file; ENopen, ENopenH; per design: set link values, ENinitH, ENrunH /
// ENnextH until the step is 0), and writes every hydraulic step in the oracle's dump format.
//
//   kvepa2-dump <network.inp> <designs.txt> <out.dump> [--init F] [--save k1,k2,...] [--save-dir D]
//               [--api legacy|project]
#include <cstdio>
#include <filesystem>
#include <memory>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "design_file.h"
#include "kvepa2/epanet2_enums.h"
#include "toolkit_calls.h"

namespace {

using kvepa2::oracle::Design;
using kvepa2::oracle::ToolkitCalls;

constexpr long kMaxSteps = 100000;

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

struct Options {
    std::string network;
    std::string designs;
    std::string out;
    int initFlag = 1;
    std::set<int> save;
    std::filesystem::path saveDir = ".";
    std::string api = "legacy";
};

class Dumper {
  public:
    Dumper(ToolkitCalls& tk, std::FILE* out) : tk_(tk), out_(out) {}

    void header() {
        tk_.count(EN_NODECOUNT, nodes_);
        tk_.count(EN_LINKCOUNT, links_);
        std::fprintf(out_, "kvepa2-dump 1\nnodes %d\n", nodes_);
        for (int i = 1; i <= nodes_; ++i) {
            std::fprintf(out_, "%s %d\n", tk_.nodeId(i).c_str(), tk_.nodeType(i));
        }
        std::fprintf(out_, "links %d\n", links_);
        for (int j = 1; j <= links_; ++j) {
            int n1 = 0;
            int n2 = 0;
            tk_.linkNodes(j, n1, n2);
            std::fprintf(out_, "%s %d %d %d\n", tk_.linkId(j).c_str(), tk_.linkType(j), n1, n2);
        }
    }

    void design(const Design& d, int initFlag) {
        std::string refused;
        for (std::size_t pos = 0; pos < d.sets.size(); ++pos) {
            const auto& s = d.sets[pos];
            if (int rc = tk_.setLinkValue(s.index, s.property, s.value); rc != 0) {
                refused += (refused.empty() ? "" : ",") + std::to_string(pos) + ":" + std::to_string(rc);
            }
        }
        const int init = tk_.initH(initFlag);
        std::fprintf(out_, "design %d init %d setfail %s\n", d.number, init,
                     refused.empty() ? "-" : refused.c_str());
        for (long n = 0; n < kMaxSteps; ++n) {
            long t = 0;
            const int code = tk_.runH(t);
            std::fprintf(out_, "step %ld %d\n", t, code);
            values("H", nodes_, EN_HEAD, true);
            values("P", nodes_, EN_PRESSURE, true);
            values("D", nodes_, EN_DEMAND, true);
            values("Q", links_, EN_FLOW, false);
            values("V", links_, EN_VELOCITY, false);
            values("S", links_, EN_STATUS, false);
            long tstep = 0;
            const int ncode = tk_.nextH(tstep);
            std::fprintf(out_, "next %ld %d\n", tstep, ncode);
            if (tstep <= 0 || ncode >= 100 || code >= 100) {
                break;
            }
        }
    }

  private:
    // Same text as the EPANET side: twelve significant digits; a refused query reads nan.
    void values(const char* key, int count, int property, bool nodes) {
        std::fputs(key, out_);
        for (int i = 1; i <= count; ++i) {
            double v = 0.0;
            const bool ok = nodes ? tk_.nodeValue(i, property, v) : tk_.linkValue(i, property, v);
            if (ok) {
                std::fprintf(out_, " %.12g", v);
            } else {
                std::fputs(" nan", out_);
            }
        }
        std::fputc('\n', out_);
    }

    ToolkitCalls& tk_;
    std::FILE* out_;
    int nodes_ = 0;
    int links_ = 0;
};

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

// Returns false (after a message) on bad arguments.
bool parseArgs(int argc, char** argv, Options& o) {
    if (argc < 4) {
        std::fprintf(stderr,
                     "usage: kvepa2-dump <network.inp> <designs.txt> <out.dump> [--init F] [--save k1,k2] "
                     "[--save-dir D] [--api legacy|project]\n");
        return false;
    }
    o.network = argv[1];
    o.designs = argv[2];
    o.out = argv[3];
    for (int i = 4; i < argc; ++i) {
        const std::string key = argv[i];
        if (i + 1 >= argc) {
            std::fprintf(stderr, "kvepa2-dump: %s needs a value\n", key.c_str());
            return false;
        }
        const std::string value = argv[++i];
        try {
            if (key == "--init") {
                o.initFlag = std::stoi(value);
            } else if (key == "--save") {
                o.save = parseList(value);
            } else if (key == "--save-dir") {
                o.saveDir = value;
            } else if (key == "--api" && (value == "legacy" || value == "project")) {
                o.api = value;
            } else {
                std::fprintf(stderr, "kvepa2-dump: unknown option %s %s\n", key.c_str(), value.c_str());
                return false;
            }
        } catch (const std::logic_error&) {
            std::fprintf(stderr, "kvepa2-dump: bad value '%s' for %s\n", value.c_str(), key.c_str());
            return false;
        }
    }
    return true;
}

int run(const Options& o) {
    const auto designs = kvepa2::oracle::readDesigns(o.designs);
    auto tk = o.api == "project" ? kvepa2::oracle::projectCalls() : kvepa2::oracle::legacyCalls();

    // The program's validity check first, as it makes it: ENepanet on the file, then ENopen.
    const int epanetCode = tk->epanet(o.network.c_str(), (o.out + ".epanet.rpt").c_str());
    const std::string report = o.out + ".rpt";
    if (int rc = tk->open(o.network.c_str(), report.c_str()); rc >= 100) {
        std::fprintf(stderr, "kvepa2-dump: ENopen of %s returned %d (see %s)\n", o.network.c_str(), rc,
                     report.c_str());
        return 1;
    }
    File out(std::fopen(o.out.c_str(), "w"));
    if (!out) {
        std::fprintf(stderr, "kvepa2-dump: cannot write %s\n", o.out.c_str());
        tk->close();
        return 1;
    }
    Dumper dumper(*tk, out.get());
    dumper.header();
    std::fprintf(out.get(), "epanet %d\n", epanetCode);
    if (int rc = tk->openH(); rc >= 100) {
        std::fprintf(stderr, "kvepa2-dump: ENopenH returned %d\n", rc);
        tk->close();
        return 1;
    }
    int status = 0;
    for (const auto& d : designs) {
        dumper.design(d, o.initFlag);
        if (o.save.count(d.number)) {
            const auto file = (o.saveDir / ("saved-" + std::to_string(d.number) + ".inp")).string();
            if (int rc = tk->saveInpFile(file.c_str()); rc != 0) {
                std::fprintf(stderr, "kvepa2-dump: ENsaveinpfile(%s) returned %d\n", file.c_str(), rc);
                status = 1;
            }
        }
    }
    tk->close();
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    Options o;
    if (!parseArgs(argc, argv, o)) {
        return 2;
    }
    try {
        return run(o);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "kvepa2-dump: %s\n", e.what());
        return 2;
    }
}
