// The re-entrant EPANET 2.2 functions: every call names its project.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "api/guarded_call.h"
#include "api/project.h"
#include "kvepa2/epanet2_2.h"
#include "model/error_text.h"

using kvepa2::guardedCall;

namespace {

// Codes whose API message is "function call contains ...".
bool functionCallCode(int code) {
    return (code >= 202 && code <= 222 && code != 207 && code != 214) || (code >= 250 && code <= 253);
}

int nodeIndexCheck(const Project& p, int index) {
    if (!p.open)
        return 102;
    return index < 1 || index > static_cast<int>(p.model.nodes.size()) ? 203 : 0;
}

int linkIndexCheck(const Project& p, int index) {
    if (!p.open)
        return 102;
    return index < 1 || index > static_cast<int>(p.model.links.size()) ? 204 : 0;
}

}  // namespace

extern "C" {

int DLLEXPORT EN_createproject(EN_Project* ph) {
    if (ph == nullptr)
        return 250;
    return guardedCall(101, [&] {
        *ph = new Project();
        return 0;
    });
}

int DLLEXPORT EN_deleteproject(EN_Project ph) {
    if (ph == nullptr)
        return 0;
    delete ph;
    return 0;
}

int DLLEXPORT EN_runproject(EN_Project ph, const char* inpFile, const char* rptFile, const char* outFile,
                            void (*)(char*)) {
    if (ph == nullptr)
        return 102;
    return guardedCall(110, [&] { return kvepa2::projectRun(*ph, inpFile, rptFile, outFile); });
}

int DLLEXPORT EN_open(EN_Project ph, const char* inpFile, const char* rptFile, const char* outFile) {
    if (ph == nullptr)
        return 102;
    return guardedCall(200, [&] {
        const int code = kvepa2::projectOpen(*ph, inpFile, rptFile, outFile);
        if (code != 0)
            kvepa2::projectClose(*ph);
        return code;
    });
}

int DLLEXPORT EN_saveinpfile(EN_Project ph, const char* filename) {
    if (ph == nullptr)
        return 102;
    return guardedCall(302, [&] { return kvepa2::projectSave(*ph, filename); });
}

int DLLEXPORT EN_close(EN_Project ph) {
    if (ph == nullptr)
        return 102;
    return kvepa2::projectClose(*ph);
}

int DLLEXPORT EN_solveH(EN_Project ph) {
    if (ph == nullptr)
        return 102;
    return guardedCall(110, [&] { return kvepa2::projectSolveH(*ph); });
}

int DLLEXPORT EN_openH(EN_Project ph) {
    if (ph == nullptr)
        return 102;
    return guardedCall(110, [&] { return kvepa2::projectOpenH(*ph); });
}

int DLLEXPORT EN_initH(EN_Project ph, int initFlag) {
    if (ph == nullptr)
        return 102;
    return guardedCall(110, [&] { return kvepa2::projectInitH(*ph, initFlag); });
}

int DLLEXPORT EN_runH(EN_Project ph, long* currentTime) {
    if (ph == nullptr)
        return 102;
    return guardedCall(110, [&] { return kvepa2::projectRunH(*ph, currentTime); });
}

int DLLEXPORT EN_nextH(EN_Project ph, long* tStep) {
    if (ph == nullptr)
        return 102;
    return guardedCall(110, [&] { return kvepa2::projectNextH(*ph, tStep); });
}

int DLLEXPORT EN_closeH(EN_Project ph) {
    if (ph == nullptr)
        return 102;
    return kvepa2::projectCloseH(*ph);
}

int DLLEXPORT EN_getversion(int* version) {
    if (version == nullptr)
        return 250;
    *version = 20305;
    return 0;
}

int DLLEXPORT EN_geterror(int errcode, char* out_errmsg, int maxLen) {
    if (out_errmsg == nullptr || maxLen <= 0)
        return 250;
    std::string text = kvepa2::errorText(errcode);
    if (functionCallCode(errcode))
        text = "function call contains " + text;
    else if (errcode == 207)
        text = "function call attempts to control a CV/GPV link";
    if (text.empty()) {
        out_errmsg[0] = '\0';
        return 251;
    }
    const size_t n = std::min(text.size(), static_cast<size_t>(maxLen));
    std::memcpy(out_errmsg, text.data(), n);
    out_errmsg[n] = '\0';
    return 0;
}

int DLLEXPORT EN_getcount(EN_Project ph, int object, int* count) {
    if (ph == nullptr)
        return 102;
    return kvepa2::getCount(*ph, object, count);
}

int DLLEXPORT EN_getflowunits(EN_Project ph, int* units) {
    if (ph == nullptr)
        return 102;
    if (units == nullptr)
        return 250;
    if (!ph->open)
        return 102;
    *units = static_cast<int>(ph->model.options.flowUnits);
    return 0;
}

int DLLEXPORT EN_getoption(EN_Project ph, int option, double* value) {
    if (ph == nullptr)
        return 102;
    return kvepa2::getOption(*ph, option, value);
}

int DLLEXPORT EN_setoption(EN_Project ph, int option, double value) {
    if (ph == nullptr)
        return 102;
    return kvepa2::setOption(*ph, option, value);
}

int DLLEXPORT EN_gettimeparam(EN_Project ph, int param, long* value) {
    if (ph == nullptr)
        return 102;
    return kvepa2::getTimeParam(*ph, param, value);
}

int DLLEXPORT EN_settimeparam(EN_Project ph, int param, long value) {
    if (ph == nullptr)
        return 102;
    return kvepa2::setTimeParam(*ph, param, value);
}

int DLLEXPORT EN_getnodeindex(EN_Project ph, const char* id, int* index) {
    if (ph == nullptr)
        return 102;
    if (index == nullptr)
        return 250;
    *index = 0;
    if (!ph->open)
        return 102;
    if (id == nullptr)
        return 203;
    return guardedCall(203, [&] {
        const int i = ph->model.findNode(id);
        if (i < 0)
            return 203;
        *index = i + 1;
        return 0;
    });
}

int DLLEXPORT EN_getnodeid(EN_Project ph, int index, char* out_id) {
    if (ph == nullptr)
        return 102;
    if (out_id == nullptr)
        return 250;
    out_id[0] = '\0';
    if (const int code = nodeIndexCheck(*ph, index); code != 0)
        return code;
    kvepa2::copyId(ph->model.nodes[static_cast<size_t>(index - 1)].id, out_id);
    return 0;
}

int DLLEXPORT EN_getnodetype(EN_Project ph, int index, int* nodeType) {
    if (ph == nullptr)
        return 102;
    if (nodeType == nullptr)
        return 250;
    if (const int code = nodeIndexCheck(*ph, index); code != 0)
        return code;
    const kvepa2::Node& n = ph->model.nodes[static_cast<size_t>(index - 1)];
    *nodeType = static_cast<int>(n.fixedGrade() ? kvepa2::NodeType::Reservoir : n.type);
    return 0;
}

int DLLEXPORT EN_getnodevalue(EN_Project ph, int index, int property, double* value) {
    if (ph == nullptr)
        return 102;
    return kvepa2::getNodeValue(*ph, index, property, value);
}

int DLLEXPORT EN_setnodevalue(EN_Project ph, int index, int property, double value) {
    if (ph == nullptr)
        return 102;
    return kvepa2::setNodeValue(*ph, index, property, value);
}

int DLLEXPORT EN_getlinkindex(EN_Project ph, const char* id, int* index) {
    if (ph == nullptr)
        return 102;
    if (index == nullptr)
        return 250;
    *index = 0;
    if (!ph->open)
        return 102;
    if (id == nullptr)
        return 204;
    return guardedCall(204, [&] {
        const int i = ph->model.findLink(id);
        if (i < 0)
            return 204;
        *index = i + 1;
        return 0;
    });
}

int DLLEXPORT EN_getlinkid(EN_Project ph, int index, char* out_id) {
    if (ph == nullptr)
        return 102;
    if (out_id == nullptr)
        return 250;
    out_id[0] = '\0';
    if (const int code = linkIndexCheck(*ph, index); code != 0)
        return code;
    kvepa2::copyId(ph->model.links[static_cast<size_t>(index - 1)].id, out_id);
    return 0;
}

int DLLEXPORT EN_getlinktype(EN_Project ph, int index, int* linkType) {
    if (ph == nullptr)
        return 102;
    if (linkType == nullptr)
        return 250;
    if (const int code = linkIndexCheck(*ph, index); code != 0)
        return code;
    *linkType = static_cast<int>(ph->model.links[static_cast<size_t>(index - 1)].type);
    return 0;
}

int DLLEXPORT EN_getlinknodes(EN_Project ph, int index, int* node1, int* node2) {
    if (ph == nullptr)
        return 102;
    if (node1 == nullptr || node2 == nullptr)
        return 250;
    if (const int code = linkIndexCheck(*ph, index); code != 0)
        return code;
    const kvepa2::Link& k = ph->model.links[static_cast<size_t>(index - 1)];
    *node1 = k.node1 + 1;
    *node2 = k.node2 + 1;
    return 0;
}

int DLLEXPORT EN_getlinkvalue(EN_Project ph, int index, int property, double* value) {
    if (ph == nullptr)
        return 102;
    return kvepa2::getLinkValue(*ph, index, property, value);
}

int DLLEXPORT EN_setlinkvalue(EN_Project ph, int index, int property, double value) {
    if (ph == nullptr)
        return 102;
    return kvepa2::setLinkValue(*ph, index, property, value);
}

int DLLEXPORT EN_getpatternindex(EN_Project ph, const char* id, int* index) {
    if (ph == nullptr)
        return 102;
    if (index == nullptr)
        return 250;
    *index = 0;
    if (!ph->open)
        return 102;
    if (id == nullptr)
        return 205;
    const int i = ph->model.findPattern(id);
    if (i < 0)
        return 205;
    *index = i + 1;
    return 0;
}

int DLLEXPORT EN_getpatternid(EN_Project ph, int index, char* out_id) {
    if (ph == nullptr)
        return 102;
    if (out_id == nullptr)
        return 250;
    out_id[0] = '\0';
    if (!ph->open)
        return 102;
    if (index < 1 || index > static_cast<int>(ph->model.patterns.size()))
        return 205;
    kvepa2::copyId(ph->model.patterns[static_cast<size_t>(index - 1)].id, out_id);
    return 0;
}

int DLLEXPORT EN_getpatternlen(EN_Project ph, int index, int* len) {
    if (ph == nullptr)
        return 102;
    if (len == nullptr)
        return 250;
    if (!ph->open)
        return 102;
    if (index < 1 || index > static_cast<int>(ph->model.patterns.size()))
        return 205;
    *len = static_cast<int>(ph->model.patterns[static_cast<size_t>(index - 1)].factors.size());
    return 0;
}

int DLLEXPORT EN_getpatternvalue(EN_Project ph, int index, int period, double* value) {
    if (ph == nullptr)
        return 102;
    if (value == nullptr)
        return 250;
    *value = 0.0;
    if (!ph->open)
        return 102;
    if (index < 1 || index > static_cast<int>(ph->model.patterns.size()))
        return 205;
    const auto& f = ph->model.patterns[static_cast<size_t>(index - 1)].factors;
    if (period < 1 || period > static_cast<int>(f.size()))
        return 251;
    *value = f[static_cast<size_t>(period - 1)];
    return 0;
}

int DLLEXPORT EN_setpatternvalue(EN_Project ph, int index, int period, double value) {
    if (ph == nullptr)
        return 102;
    if (!ph->open)
        return 102;
    if (index < 1 || index > static_cast<int>(ph->model.patterns.size()))
        return 205;
    auto& f = ph->model.patterns[static_cast<size_t>(index - 1)].factors;
    if (period < 1 || period > static_cast<int>(f.size()))
        return 251;
    if (!std::isfinite(value))
        return 202;
    f[static_cast<size_t>(period - 1)] = value;
    return 0;
}

int DLLEXPORT EN_getcurveindex(EN_Project ph, const char* id, int* index) {
    if (ph == nullptr)
        return 102;
    if (index == nullptr)
        return 250;
    *index = 0;
    if (!ph->open)
        return 102;
    if (id == nullptr)
        return 206;
    const int i = ph->model.findCurve(id);
    if (i < 0)
        return 206;
    *index = i + 1;
    return 0;
}

int DLLEXPORT EN_getcurveid(EN_Project ph, int index, char* out_id) {
    if (ph == nullptr)
        return 102;
    if (out_id == nullptr)
        return 250;
    out_id[0] = '\0';
    if (!ph->open)
        return 102;
    if (index < 1 || index > static_cast<int>(ph->model.curves.size()))
        return 206;
    kvepa2::copyId(ph->model.curves[static_cast<size_t>(index - 1)].id, out_id);
    return 0;
}

int DLLEXPORT EN_getcurvelen(EN_Project ph, int index, int* len) {
    if (ph == nullptr)
        return 102;
    if (len == nullptr)
        return 250;
    if (!ph->open)
        return 102;
    if (index < 1 || index > static_cast<int>(ph->model.curves.size()))
        return 206;
    *len = static_cast<int>(ph->model.curves[static_cast<size_t>(index - 1)].x.size());
    return 0;
}

int DLLEXPORT EN_getcurvevalue(EN_Project ph, int curveIndex, int pointIndex, double* x, double* y) {
    if (ph == nullptr)
        return 102;
    if (x == nullptr || y == nullptr)
        return 250;
    if (!ph->open)
        return 102;
    const kvepa2::Model& m = ph->model;
    if (curveIndex < 1 || curveIndex > static_cast<int>(m.curves.size()))
        return 206;
    const kvepa2::Curve& c = m.curves[static_cast<size_t>(curveIndex - 1)];
    if (pointIndex < 1 || pointIndex > static_cast<int>(c.x.size()))
        return 251;
    const kvepa2::FlowUnits f = m.options.flowUnits;
    double fx = 1.0, fy = 1.0;
    if (c.type == kvepa2::CurveType::Pump || c.type == kvepa2::CurveType::Headloss) {
        fx = kvepa2::units::flowFactor(f);
        fy = kvepa2::units::lengthFactor(f);
    } else if (c.type == kvepa2::CurveType::Volume) {
        fx = kvepa2::units::lengthFactor(f);
        fy = kvepa2::units::volumeFactor(f);
    }
    *x = c.x[static_cast<size_t>(pointIndex - 1)] * fx;
    *y = c.y[static_cast<size_t>(pointIndex - 1)] * fy;
    return 0;
}

int DLLEXPORT EN_getcontrol(EN_Project ph, int index, int* type, int* linkIndex, double* setting,
                            int* nodeIndex, double* level) {
    if (ph == nullptr)
        return 102;
    if (type == nullptr || linkIndex == nullptr || setting == nullptr || nodeIndex == nullptr ||
        level == nullptr) {
        return 250;
    }
    if (!ph->open)
        return 102;
    const kvepa2::Model& m = ph->model;
    if (index < 1 || index > static_cast<int>(m.controls.size()))
        return 241;
    const kvepa2::Control& c = m.controls[static_cast<size_t>(index - 1)];
    const kvepa2::Link& k = m.links[static_cast<size_t>(c.link)];
    const kvepa2::FlowUnits f = m.options.flowUnits;
    const double pcf = kvepa2::units::pressureFactor(m.options.pressureUnits, m.options.specificGravity);
    *type = static_cast<int>(c.type);
    *linkIndex = c.link + 1;
    if (c.setsStatus) {
        *setting = c.status == kvepa2::LinkStatus::Closed ? 0.0 : 1.0;
    } else if (k.type == kvepa2::LinkType::PRV || k.type == kvepa2::LinkType::PSV ||
               k.type == kvepa2::LinkType::PBV) {
        *setting = c.setting * pcf;
    } else if (k.type == kvepa2::LinkType::FCV) {
        *setting = c.setting * kvepa2::units::flowFactor(f);
    } else {
        *setting = c.setting;
    }
    if (c.type == kvepa2::ControlType::LowLevel || c.type == kvepa2::ControlType::HiLevel) {
        const kvepa2::Node& n = m.nodes[static_cast<size_t>(c.node)];
        *nodeIndex = c.node + 1;
        *level = (c.grade - n.elevation) *
                 (n.type == kvepa2::NodeType::Junction ? pcf : kvepa2::units::lengthFactor(f));
    } else {
        *nodeIndex = 0;
        *level = static_cast<double>(c.time);
    }
    return 0;
}

}  // extern "C"
