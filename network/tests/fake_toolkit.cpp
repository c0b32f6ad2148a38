// A stand-in hydraulic toolkit for the loader's tests. It reads its model from
// a "[FAKE]" section of the input file itself:
//   epanet <code>                        the code ENepanet returns
//   node <id> <type>                     in toolkit order
//   link <id> <type> <from> <to> <length>
//   fail <call> <after> <code>           <call> returns <code> once it has
//                                        succeeded <after> times
// and logs the calls that open and close a model, so tests can check their order.
#include <algorithm>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#define FAKE_API extern "C" __attribute__((visibility("default")))

namespace {

struct Element {
    std::string id;
    int type = 0;
    int from = 0;  // links only: 1-based node indices
    int to = 0;
    float length = 0;
};
struct Model {
    int epanetCode = 0;
    std::vector<Element> nodes;
    std::vector<Element> links;
    std::map<std::string, int> nodeIndex;
    std::string failCall;
    int failAfter = 0;
    int failCode = 0;
};

// The open model (empty while none is open); only tests load this library.
Model g_model;
std::string g_log;

void Log(const char* call) {
    g_log += (g_log.empty() ? "" : " ") + std::string(call);
}

bool Read(const char* path, Model& model) {
    std::ifstream in(path);
    if (!in) {
        return false;
    }
    model = Model();
    std::string line;
    bool inFake = false;
    while (std::getline(in, line)) {
        std::istringstream words(line);
        std::string word;
        Element e;
        if (!(words >> word)) {
            continue;
        }
        if (word[0] == '[') {
            inFake = word == "[FAKE]";
        } else if (inFake && word == "epanet") {
            words >> model.epanetCode;
        } else if (inFake && word == "node" && words >> e.id >> e.type) {
            model.nodes.push_back(e);
            model.nodeIndex[e.id] = static_cast<int>(model.nodes.size());
        } else if (inFake && word == "fail") {
            words >> model.failCall >> model.failAfter >> model.failCode;
        } else if (inFake && word == "link" && words >> e.id >> e.type >> word) {
            e.from = model.nodeIndex[word];
            words >> word >> e.length;
            e.to = model.nodeIndex[word];
            model.links.push_back(e);
        }
    }
    return true;
}

// The element at a 1-based index of the open model, or null.
const Element* At(const std::vector<Element>& list, int index) {
    return index >= 1 && index <= static_cast<int>(list.size()) ? &list[index - 1] : nullptr;
}

// The code the open model's `fail` line makes this call return now, or 0.
int Fail(const char* call) {
    return g_model.failCall == call && g_model.failAfter-- <= 0 ? g_model.failCode : 0;
}

}  // namespace

FAKE_API const char* FakeCallLog() {
    return g_log.c_str();
}
FAKE_API void FakeClearLog() {
    g_log.clear();
}

FAKE_API int ENepanet(const char* inp, const char*, const char*, void (*)(char*)) {
    Log("ENepanet");
    Model m;
    return Read(inp, m) ? m.epanetCode : 302;
}

FAKE_API int ENopen(const char* inp, const char*, const char*) {
    Log("ENopen");
    if (!Read(inp, g_model)) {
        return 302;
    }
    const int code = Fail("ENopen");
    if (code > 6) {
        g_model = Model();
    }
    return code;
}

FAKE_API int ENclose() {
    Log("ENclose");
    g_model = Model();
    return 0;
}

// Counts 0, 1 and 2: nodes, tanks and reservoirs, links.
FAKE_API int ENgetcount(int code, int* count) {
    if (const int failed = Fail("ENgetcount")) {
        return failed;
    }
    const auto storage = std::count_if(g_model.nodes.begin(), g_model.nodes.end(),
                                       [](const Element& n) { return n.type != 0; });
    *count = static_cast<int>(code == 0 ? g_model.nodes.size() : code == 1 ? storage : g_model.links.size());
    return 0;
}

// IDs are copied whole: the tests' IDs stay within the toolkit's 31 characters.
FAKE_API int ENgetnodeid(int index, char* id) {
    if (const int failed = Fail("ENgetnodeid")) {
        return failed;
    }
    const Element* n = At(g_model.nodes, index);
    return n != nullptr ? (std::strcpy(id, n->id.c_str()), 0) : 203;
}

FAKE_API int ENgetlinkid(int index, char* id) {
    if (const int failed = Fail("ENgetlinkid")) {
        return failed;
    }
    const Element* l = At(g_model.links, index);
    return l != nullptr ? (std::strcpy(id, l->id.c_str()), 0) : 204;
}

FAKE_API int ENgetnodetype(int index, int* type) {
    if (const int failed = Fail("ENgetnodetype")) {
        return failed;
    }
    const Element* n = At(g_model.nodes, index);
    return n != nullptr ? (*type = n->type, 0) : 203;
}

FAKE_API int ENgetlinktype(int index, int* type) {
    if (const int failed = Fail("ENgetlinktype")) {
        return failed;
    }
    const Element* l = At(g_model.links, index);
    return l != nullptr ? (*type = l->type, 0) : 204;
}

FAKE_API int ENgetlinknodes(int index, int* from, int* to) {
    if (const int failed = Fail("ENgetlinknodes")) {
        return failed;
    }
    const Element* l = At(g_model.links, index);
    return l != nullptr ? (*from = l->from, *to = l->to, 0) : 204;
}

FAKE_API int ENgetlinkvalue(int index, int code, float* value) {
    if (const int failed = Fail("ENgetlinkvalue")) {
        return failed;
    }
    const Element* l = At(g_model.links, index);
    return l != nullptr ? (*value = code == 1 ? l->length : 0.0f, 0) : 204;
}
