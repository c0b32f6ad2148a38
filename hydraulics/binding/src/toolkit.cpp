#include "kelvarn/binding/toolkit.h"

#include "shared_library.h"

namespace kelvarn::binding {

namespace {
// EPANET 2's legacy C signatures: float values, long times, char* IDs.
using EpanetFn = int (*)(const char*, const char*, const char*, void (*)(char*));
using OpenFn = int (*)(const char*, const char*, const char*);
using VoidFn = int (*)();
using IntOutFn = int (*)(int, int*);
using IdFn = int (*)(int, char*);
using LinkNodesFn = int (*)(int, int*, int*);
using GetValueFn = int (*)(int, int, float*);
using SetValueFn = int (*)(int, int, float);
using IntFn = int (*)(int);
using TimeFn = int (*)(long*);
using FileFn = int (*)(const char*);
}  // namespace

struct Toolkit::Impl {
    explicit Impl(std::filesystem::path path) : library(std::move(path)) {}

    // Resolves a function on its first call and keeps it.
    template <typename F>
    F get(F& slot, const char* name) {
        if (!slot) {
            slot = reinterpret_cast<F>(library.function(name));
        }
        return slot;
    }

    SharedLibrary library;
    EpanetFn epanet = nullptr;
    OpenFn open = nullptr;
    VoidFn close = nullptr;
    IntOutFn getcount = nullptr;
    IdFn getnodeid = nullptr;
    IdFn getlinkid = nullptr;
    IntOutFn getnodetype = nullptr;
    IntOutFn getlinktype = nullptr;
    LinkNodesFn getlinknodes = nullptr;
    GetValueFn getlinkvalue = nullptr;
    GetValueFn getnodevalue = nullptr;
    SetValueFn setlinkvalue = nullptr;
    VoidFn openH = nullptr;
    IntFn initH = nullptr;
    TimeFn runH = nullptr;
    TimeFn nextH = nullptr;
    FileFn saveinpfile = nullptr;
};

namespace {
std::filesystem::path besideExecutable() {
    const auto folder = executableFolder();
    return folder.empty() ? std::filesystem::path() : folder / Toolkit::kDefaultLibrary;
}

std::string fetchId(IdFn f, int index, int& code) {
    char buffer[Toolkit::kIdBufferSize] = {};
    code = f(index, buffer);
    buffer[sizeof buffer - 1] = '\0';
    return buffer;
}
}  // namespace

Toolkit::Toolkit() : Toolkit(besideExecutable()) {}

Toolkit::Toolkit(std::filesystem::path library)
    : path_(library), impl_(std::make_unique<Impl>(std::move(library))) {}

Toolkit::~Toolkit() = default;

int Toolkit::ENepanet(const std::string& inpFile, const std::string& rptFile, const std::string& outFile) {
    return impl_->get(impl_->epanet, "ENepanet")(inpFile.c_str(), rptFile.c_str(), outFile.c_str(), nullptr);
}

int Toolkit::ENopen(const std::string& inpFile, const std::string& rptFile, const std::string& outFile) {
    return impl_->get(impl_->open, "ENopen")(inpFile.c_str(), rptFile.c_str(), outFile.c_str());
}

int Toolkit::ENclose() {
    return impl_->get(impl_->close, "ENclose")();
}

int Toolkit::ENgetcount(int code, int& count) {
    return impl_->get(impl_->getcount, "ENgetcount")(code, &count);
}

int Toolkit::ENgetnodeid(int index, std::string& id) {
    int code = 0;
    id = fetchId(impl_->get(impl_->getnodeid, "ENgetnodeid"), index, code);
    return code;
}

int Toolkit::ENgetlinkid(int index, std::string& id) {
    int code = 0;
    id = fetchId(impl_->get(impl_->getlinkid, "ENgetlinkid"), index, code);
    return code;
}

int Toolkit::ENgetnodetype(int index, int& type) {
    return impl_->get(impl_->getnodetype, "ENgetnodetype")(index, &type);
}

int Toolkit::ENgetlinktype(int index, int& type) {
    return impl_->get(impl_->getlinktype, "ENgetlinktype")(index, &type);
}

int Toolkit::ENgetlinknodes(int index, int& node1, int& node2) {
    return impl_->get(impl_->getlinknodes, "ENgetlinknodes")(index, &node1, &node2);
}

int Toolkit::ENgetlinkvalue(int index, int code, float& value) {
    return impl_->get(impl_->getlinkvalue, "ENgetlinkvalue")(index, code, &value);
}

int Toolkit::ENgetnodevalue(int index, int code, float& value) {
    return impl_->get(impl_->getnodevalue, "ENgetnodevalue")(index, code, &value);
}

int Toolkit::ENsetlinkvalue(int index, int code, float value) {
    return impl_->get(impl_->setlinkvalue, "ENsetlinkvalue")(index, code, value);
}

int Toolkit::ENopenH() {
    return impl_->get(impl_->openH, "ENopenH")();
}

int Toolkit::ENinitH(int flag) {
    return impl_->get(impl_->initH, "ENinitH")(flag);
}

int Toolkit::ENrunH(long& currentTime) {
    return impl_->get(impl_->runH, "ENrunH")(&currentTime);
}

int Toolkit::ENnextH(long& timeStep) {
    return impl_->get(impl_->nextH, "ENnextH")(&timeStep);
}

int Toolkit::ENsaveinpfile(const std::string& fileName) {
    return impl_->get(impl_->saveinpfile, "ENsaveinpfile")(fileName.c_str());
}

}  // namespace kelvarn::binding
