// The toolkit calls kvepa2-dump makes, through either of the toolkit's two C interfaces: EPANET 2's
// legacy functions on the default project (float values, as the program uses them) or the
// re-entrant project-handle functions (double values).
#pragma once

#include <memory>
#include <string>

namespace kvepa2::oracle {

class ToolkitCalls {
  public:
    virtual ~ToolkitCalls() = default;
    virtual int epanet(const char* inp, const char* rpt) = 0;
    virtual int open(const char* inp, const char* rpt) = 0;
    virtual int close() = 0;
    virtual int count(int object, int& n) = 0;
    virtual std::string nodeId(int index) = 0;
    virtual std::string linkId(int index) = 0;
    virtual int nodeType(int index) = 0;
    virtual int linkType(int index) = 0;
    virtual void linkNodes(int index, int& n1, int& n2) = 0;
    // Values as the interface returns them; false when the toolkit refuses.
    virtual bool nodeValue(int index, int property, double& v) = 0;
    virtual bool linkValue(int index, int property, double& v) = 0;
    virtual int setLinkValue(int index, int property, float v) = 0;
    virtual int openH() = 0;
    virtual int initH(int flag) = 0;
    virtual int runH(long& t) = 0;
    virtual int nextH(long& step) = 0;
    virtual int saveInpFile(const char* file) = 0;
};

std::unique_ptr<ToolkitCalls> legacyCalls();
std::unique_ptr<ToolkitCalls> projectCalls();

}  // namespace kvepa2::oracle
