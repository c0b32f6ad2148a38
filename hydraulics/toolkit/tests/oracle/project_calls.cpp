#include <stdexcept>

#include "kvepa2/epanet2_2.h"
#include "toolkit_calls.h"

namespace kvepa2::oracle {

namespace {

class ProjectHandle final : public ToolkitCalls {
  public:
    ProjectHandle() {
        if (EN_createproject(&ph_) != 0 || !ph_) {
            throw std::runtime_error("EN_createproject failed");
        }
    }
    ~ProjectHandle() override { EN_deleteproject(ph_); }
    ProjectHandle(const ProjectHandle&) = delete;
    ProjectHandle& operator=(const ProjectHandle&) = delete;

    int epanet(const char* inp, const char* rpt) override {
        // ENepanet's counterpart runs in a project of its own, as the legacy one does.
        EN_Project run = nullptr;
        if (EN_createproject(&run) != 0) {
            return 101;
        }
        const int code = EN_runproject(run, inp, rpt, "", nullptr);
        EN_deleteproject(run);
        return code;
    }
    int open(const char* inp, const char* rpt) override { return EN_open(ph_, inp, rpt, ""); }
    int close() override { return EN_close(ph_); }
    int count(int object, int& n) override { return EN_getcount(ph_, object, &n); }
    std::string nodeId(int index) override { return id(EN_getnodeid, index); }
    std::string linkId(int index) override { return id(EN_getlinkid, index); }
    int nodeType(int index) override {
        int t = -1;
        EN_getnodetype(ph_, index, &t);
        return t;
    }
    int linkType(int index) override {
        int t = -1;
        EN_getlinktype(ph_, index, &t);
        return t;
    }
    void linkNodes(int index, int& n1, int& n2) override { EN_getlinknodes(ph_, index, &n1, &n2); }
    bool nodeValue(int index, int property, double& v) override {
        return EN_getnodevalue(ph_, index, property, &v) == 0;
    }
    bool linkValue(int index, int property, double& v) override {
        return EN_getlinkvalue(ph_, index, property, &v) == 0;
    }
    // The value the program would hand over as a float, widened.
    int setLinkValue(int index, int property, float v) override {
        return EN_setlinkvalue(ph_, index, property, v);
    }
    int openH() override { return EN_openH(ph_); }
    int initH(int flag) override { return EN_initH(ph_, flag); }
    int runH(long& t) override { return EN_runH(ph_, &t); }
    int nextH(long& step) override { return EN_nextH(ph_, &step); }
    int saveInpFile(const char* file) override { return EN_saveinpfile(ph_, file); }

  private:
    std::string id(int (*get)(EN_Project, int, char*), int index) {
        char buffer[64] = {};
        get(ph_, index, buffer);
        buffer[sizeof buffer - 1] = '\0';
        return buffer;
    }

    EN_Project ph_ = nullptr;
};

}  // namespace

std::unique_ptr<ToolkitCalls> projectCalls() {
    return std::make_unique<ProjectHandle>();
}

}  // namespace kvepa2::oracle
