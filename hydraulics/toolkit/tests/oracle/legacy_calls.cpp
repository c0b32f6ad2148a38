#include "kvepa2/epanet2.h"
#include "toolkit_calls.h"

namespace kvepa2::oracle {

namespace {

std::string id(int (*get)(int, char*), int index) {
    char buffer[64] = {};  // well beyond EN_MAXID + 1
    get(index, buffer);
    buffer[sizeof buffer - 1] = '\0';
    return buffer;
}

class Legacy final : public ToolkitCalls {
  public:
    int epanet(const char* inp, const char* rpt) override { return ENepanet(inp, rpt, "", nullptr); }
    int open(const char* inp, const char* rpt) override { return ENopen(inp, rpt, ""); }
    int close() override { return ENclose(); }
    int count(int object, int& n) override { return ENgetcount(object, &n); }
    std::string nodeId(int index) override { return id(ENgetnodeid, index); }
    std::string linkId(int index) override { return id(ENgetlinkid, index); }
    int nodeType(int index) override {
        int t = -1;
        ENgetnodetype(index, &t);
        return t;
    }
    int linkType(int index) override {
        int t = -1;
        ENgetlinktype(index, &t);
        return t;
    }
    void linkNodes(int index, int& n1, int& n2) override { ENgetlinknodes(index, &n1, &n2); }
    bool nodeValue(int index, int property, double& v) override {
        float f = 0.0f;
        const bool ok = ENgetnodevalue(index, property, &f) == 0;
        v = f;
        return ok;
    }
    bool linkValue(int index, int property, double& v) override {
        float f = 0.0f;
        const bool ok = ENgetlinkvalue(index, property, &f) == 0;
        v = f;
        return ok;
    }
    int setLinkValue(int index, int property, float v) override { return ENsetlinkvalue(index, property, v); }
    int openH() override { return ENopenH(); }
    int initH(int flag) override { return ENinitH(flag); }
    int runH(long& t) override { return ENrunH(&t); }
    int nextH(long& step) override { return ENnextH(&step); }
    int saveInpFile(const char* file) override { return ENsaveinpfile(file); }
};

}  // namespace

std::unique_ptr<ToolkitCalls> legacyCalls() {
    return std::make_unique<Legacy>();
}

}  // namespace kvepa2::oracle
