// The legacy EPANET 2 functions: one default project, float values.
#include "api/project.h"
#include "kvepa2/epanet2.h"
#include "kvepa2/epanet2_2.h"

namespace {

// The one project behind the legacy functions.
Project* defaultProject() {
    static Project project;
    return &project;
}

}  // namespace

extern "C" {

int DLLEXPORT ENepanet(const char* inpFile, const char* rptFile, const char* outFile,
                       void (*pviewprog)(char*)) {
    return EN_runproject(defaultProject(), inpFile, rptFile, outFile, pviewprog);
}

int DLLEXPORT ENopen(const char* inpFile, const char* rptFile, const char* outFile) {
    return EN_open(defaultProject(), inpFile, rptFile, outFile);
}

int DLLEXPORT ENsaveinpfile(const char* filename) {
    return EN_saveinpfile(defaultProject(), filename);
}
int DLLEXPORT ENclose(void) {
    return EN_close(defaultProject());
}
int DLLEXPORT ENsolveH(void) {
    return EN_solveH(defaultProject());
}
int DLLEXPORT ENopenH(void) {
    return EN_openH(defaultProject());
}
int DLLEXPORT ENinitH(int initFlag) {
    return EN_initH(defaultProject(), initFlag);
}
int DLLEXPORT ENrunH(long* currentTime) {
    return EN_runH(defaultProject(), currentTime);
}
int DLLEXPORT ENnextH(long* tStep) {
    return EN_nextH(defaultProject(), tStep);
}
int DLLEXPORT ENcloseH(void) {
    return EN_closeH(defaultProject());
}
int DLLEXPORT ENgetversion(int* version) {
    return EN_getversion(version);
}
int DLLEXPORT ENgeterror(int errcode, char* errmsg, int maxLen) {
    return EN_geterror(errcode, errmsg, maxLen);
}
int DLLEXPORT ENgetcount(int object, int* count) {
    return EN_getcount(defaultProject(), object, count);
}
int DLLEXPORT ENgetflowunits(int* units) {
    return EN_getflowunits(defaultProject(), units);
}

int DLLEXPORT ENgetoption(int option, float* value) {
    if (value == nullptr)
        return 250;
    double v = 0.0;
    const int code = EN_getoption(defaultProject(), option, &v);
    *value = static_cast<float>(v);
    return code;
}

int DLLEXPORT ENsetoption(int option, float value) {
    return EN_setoption(defaultProject(), option, value);
}
int DLLEXPORT ENgettimeparam(int param, long* value) {
    return EN_gettimeparam(defaultProject(), param, value);
}
int DLLEXPORT ENsettimeparam(int param, long value) {
    return EN_settimeparam(defaultProject(), param, value);
}

int DLLEXPORT ENgetnodeindex(const char* id, int* index) {
    return EN_getnodeindex(defaultProject(), id, index);
}
int DLLEXPORT ENgetnodeid(int index, char* id) {
    return EN_getnodeid(defaultProject(), index, id);
}
int DLLEXPORT ENgetnodetype(int index, int* nodeType) {
    return EN_getnodetype(defaultProject(), index, nodeType);
}

int DLLEXPORT ENgetnodevalue(int index, int property, float* value) {
    if (value == nullptr)
        return 250;
    double v = 0.0;
    const int code = EN_getnodevalue(defaultProject(), index, property, &v);
    *value = static_cast<float>(v);
    return code;
}

int DLLEXPORT ENsetnodevalue(int index, int property, float value) {
    return EN_setnodevalue(defaultProject(), index, property, value);
}

int DLLEXPORT ENgetlinkindex(const char* id, int* index) {
    return EN_getlinkindex(defaultProject(), id, index);
}
int DLLEXPORT ENgetlinkid(int index, char* id) {
    return EN_getlinkid(defaultProject(), index, id);
}
int DLLEXPORT ENgetlinktype(int index, int* linkType) {
    return EN_getlinktype(defaultProject(), index, linkType);
}

int DLLEXPORT ENgetlinknodes(int index, int* node1, int* node2) {
    return EN_getlinknodes(defaultProject(), index, node1, node2);
}

int DLLEXPORT ENgetlinkvalue(int index, int property, float* value) {
    if (value == nullptr)
        return 250;
    double v = 0.0;
    const int code = EN_getlinkvalue(defaultProject(), index, property, &v);
    *value = static_cast<float>(v);
    return code;
}

int DLLEXPORT ENsetlinkvalue(int index, int property, float value) {
    return EN_setlinkvalue(defaultProject(), index, property, value);
}

int DLLEXPORT ENgetpatternindex(const char* id, int* index) {
    return EN_getpatternindex(defaultProject(), id, index);
}
int DLLEXPORT ENgetpatternid(int index, char* id) {
    return EN_getpatternid(defaultProject(), index, id);
}
int DLLEXPORT ENgetpatternlen(int index, int* len) {
    return EN_getpatternlen(defaultProject(), index, len);
}

int DLLEXPORT ENgetpatternvalue(int index, int period, float* value) {
    if (value == nullptr)
        return 250;
    double v = 0.0;
    const int code = EN_getpatternvalue(defaultProject(), index, period, &v);
    *value = static_cast<float>(v);
    return code;
}

int DLLEXPORT ENsetpatternvalue(int index, int period, float value) {
    return EN_setpatternvalue(defaultProject(), index, period, value);
}

int DLLEXPORT ENgetcurveindex(const char* id, int* index) {
    return EN_getcurveindex(defaultProject(), id, index);
}
int DLLEXPORT ENgetcurveid(int index, char* id) {
    return EN_getcurveid(defaultProject(), index, id);
}
int DLLEXPORT ENgetcurvelen(int index, int* len) {
    return EN_getcurvelen(defaultProject(), index, len);
}

int DLLEXPORT ENgetcurvevalue(int curveIndex, int pointIndex, float* x, float* y) {
    if (x == nullptr || y == nullptr)
        return 250;
    double dx = 0.0, dy = 0.0;
    const int code = EN_getcurvevalue(defaultProject(), curveIndex, pointIndex, &dx, &dy);
    *x = static_cast<float>(dx);
    *y = static_cast<float>(dy);
    return code;
}

int DLLEXPORT ENgetcontrol(int index, int* type, int* linkIndex, float* setting, int* nodeIndex,
                           float* level) {
    if (setting == nullptr || level == nullptr)
        return 250;
    double s = 0.0, l = 0.0;
    const int code = EN_getcontrol(defaultProject(), index, type, linkIndex, &s, nodeIndex, &l);
    *setting = static_cast<float>(s);
    *level = static_cast<float>(l);
    return code;
}

}  // extern "C"
