#include "api/project.h"

#include <algorithm>
#include <cstring>
#include <ctime>
#include <fstream>
#include <new>

#include "hydraulics/trial_log.h"
#include "input/input_reader.h"
#include "kvepa2/epanet2_enums.h"
#include "model/clock_text.h"
#include "model/error_text.h"
#include "model/network_validation.h"
#include "output/input_writer.h"

namespace kvepa2 {

namespace {

bool sameFile(const char* a, const char* b) {
    return a != nullptr && b != nullptr && a[0] != '\0' && std::strcmp(a, b) == 0;
}

}  // namespace

void copyId(const std::string& id, char* out) {
    const size_t n = std::min(id.size(), static_cast<size_t>(EN_MAXID));
    std::memcpy(out, id.data(), n);
    out[n] = '\0';
}

void writeReport(Project& p) {
    if (p.reportFile.empty())
        return;
    std::ofstream out(p.reportFile, std::ios::binary | std::ios::trunc);
    if (!out)
        return;
    out << "  kvepa2 hydraulic toolkit report\n\n";
    for (const std::string& line : p.reportLines) out << (line.empty() ? "" : "  ") << line << '\n';
}

int projectClose(Project& p) {
    p.simulation.reset();
    p.model = Model{};
    p.open = p.hydraulicsOpen = p.initialised = p.solved = false;
    return 0;
}

int projectOpen(Project& p, const char* inpFile, const char* rptFile, const char* outFile) {
    projectClose(p);
    p.reportLines.clear();
    p.reportFile = rptFile != nullptr ? rptFile : "";
    if (inpFile == nullptr || inpFile[0] == '\0')
        return 302;
    if (sameFile(inpFile, rptFile) || sameFile(inpFile, outFile) || sameFile(rptFile, outFile))
        return 301;
    ReadResult r = readInputFile(inpFile, p.model);
    if (r.code != 0) {
        for (const InputError& e : r.errors) p.reportLines.push_back(e.message);
        if (r.code == 200)
            p.reportLines.push_back("Error 200: " + errorText(200));
        writeReport(p);
        return r.code;
    }
    p.open = true;
    return 0;
}

int projectSave(Project& p, const char* file) {
    if (!p.open)
        return 102;
    if (file == nullptr)
        return 302;
    return writeInputFile(p.model, file);
}

int projectOpenH(Project& p) {
    if (!p.open)
        return 102;
    if (p.hydraulicsOpen)
        return 0;
    std::vector<std::string> problems;
    if (const int code = validateNetwork(p.model, problems); code != 0) {
        for (auto& line : problems) p.reportLines.push_back(std::move(line));
        writeReport(p);
        return code;
    }
    p.simulation = std::make_unique<HydraulicSimulation>(p.model);
    p.hydraulicsOpen = true;
    p.initialised = p.solved = false;
    return 0;
}

int projectInitH(Project& p, int flag) {
    if (!p.hydraulicsOpen)
        return 103;
    const int code = p.simulation->init(flag);
    p.initialised = code < 100;
    return code;
}

int projectRunH(Project& p, long* time) {
    if (!p.hydraulicsOpen || !p.initialised)
        return 103;
    long t = 0;
    const int code = p.simulation->run(t);
    if (time != nullptr)
        *time = t;
    p.solved = true;
    return code;
}

int projectNextH(Project& p, long* step) {
    if (!p.hydraulicsOpen || !p.initialised)
        return 103;
    long s = 0;
    const int code = p.simulation->next(s);
    if (step != nullptr)
        *step = s;
    return code;
}

int projectCloseH(Project& p) {
    if (!p.open)
        return 102;
    p.simulation.reset();
    p.hydraulicsOpen = p.initialised = p.solved = false;
    return 0;
}

int projectSolveH(Project& p) {
    if (!p.open)
        return 102;
    int code = projectOpenH(p);
    if (code != 0)
        return code;
    code = projectInitH(p, 0);
    if (code >= 100)
        return code;
    // A full status report has every solve's trials, as the solver takes them.
    TrialLog log(p.model);
    struct Detach {
        HydraulicSimulation& sim;
        ~Detach() { sim.setTrialLog(nullptr); }
    } detach{*p.simulation};
    const bool full = p.model.options.statusReport == Options::StatusReport::Full;
    if (full)
        p.simulation->setTrialLog(&log);
    // EPANET returns the warning of the last period that had one, not the gravest.
    int warning = 0;
    long t = 0, step = 0;
    do {
        code = projectRunH(p, &t);
        if (full)
            for (std::string& line : log.take()) p.reportLines.push_back(std::move(line));
        if (code >= 100) {
            p.reportLines.push_back("Error " + std::to_string(code) + ": " + errorText(code) + " at " +
                                    clockText(t) + " hrs");
            return code;
        }
        if (code > 0) {
            p.reportLines.push_back(clockText(t) + ": " + errorText(code));
            warning = code;
        }
        code = projectNextH(p, &step);
        if (code >= 100)
            return code;
        if (code > 0)
            warning = code;
    } while (step > 0);
    return warning;
}

int projectRun(Project& p, const char* inpFile, const char* rptFile, const char* outFile) {
    int code = projectOpen(p, inpFile, rptFile, outFile);
    if (code != 0) {
        projectClose(p);
        return code;
    }
    code = projectSolveH(p);
    char when[64] = "";
    const std::time_t now = std::time(nullptr);
    std::strftime(when, sizeof when, "%a %b %e %H:%M:%S %Y", std::localtime(&now));
    if (code >= 100 && code != 0 && p.reportLines.empty()) {
        p.reportLines.push_back("Error " + std::to_string(code) + ": " + errorText(code));
    }
    p.reportLines.push_back(std::string("Analysis ended ") + when);
    writeReport(p);
    projectClose(p);
    return code;
}

}  // namespace kvepa2
