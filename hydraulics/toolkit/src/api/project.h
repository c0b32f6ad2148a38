// One toolkit project: a model, its hydraulic simulation and the state of the
// call sequence the C functions enforce.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "hydraulics/hydraulic_simulation.h"
#include "model/model.h"

// Named as the public header's opaque handle type.
struct Project {
    kvepa2::Model model;
    std::unique_ptr<kvepa2::HydraulicSimulation> simulation;
    bool open = false;            // a network is loaded
    bool hydraulicsOpen = false;  // ENopenH called
    bool initialised = false;     // ENinitH called since ENopenH
    bool solved = false;          // ENrunH has produced results
    std::string reportFile;
    std::vector<std::string> reportLines;
};

namespace kvepa2 {

// The operations behind both C interfaces, with double values in the model's units.
int projectOpen(Project& p, const char* inpFile, const char* rptFile, const char* outFile);
int projectClose(Project& p);
int projectSave(Project& p, const char* file);
int projectOpenH(Project& p);
int projectInitH(Project& p, int flag);
int projectRunH(Project& p, long* time);
int projectNextH(Project& p, long* step);
int projectCloseH(Project& p);
int projectSolveH(Project& p);
int projectRun(Project& p, const char* inpFile, const char* rptFile, const char* outFile);

int getCount(const Project& p, int object, int* count);
int getNodeValue(const Project& p, int index, int property, double* value);
int getLinkValue(const Project& p, int index, int property, double* value);
int setNodeValue(Project& p, int index, int property, double value);
int setLinkValue(Project& p, int index, int property, double value);
int getOption(const Project& p, int option, double* value);
int setOption(Project& p, int option, double value);
int getTimeParam(const Project& p, int param, long* value);
int setTimeParam(Project& p, int param, long value);

// Copies an ID into a caller buffer of EN_MAXID + 1 characters.
void copyId(const std::string& id, char* out);
// Writes the report lines to the report file, if one was named.
void writeReport(Project& p);

}  // namespace kvepa2
