// A stand-in hydraulic toolkit for the loader's tests. It reads its model from
// a "[FAKE]" section of the input file itself:
//   epanet <code>                        the code ENepanet returns
//   node <id> <type>                     in toolkit order
//   link <id> <type> <from> <to> <length>
// and logs the calls that open and close a model, so tests can check their order.
#include <cstring>
#include <fstream>
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
};

// The open model (empty while none is open); only tests load this library.
Model g_model;
std::string g_log;

void Log(const char* call) {
    g_log += (g_log.empty() ? "" : " ") + std::string(call);
}

int NodeIndex(const Model& model, const std::string& id) {
    for (std::size_t i = 0; i < model.nodes.size(); ++i) {
        if (model.nodes[i].id == id) {
            return static_cast<int>(i + 1);
        }
    }
    return 0;
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
        } else if (inFake && word == "node") {
            words >> e.id >> e.type;
            model.nodes.push_back(e);
        } else if (inFake && word == "link") {
            std::string from;
            std::string to;
            words >> e.id >> e.type >> from >> to >> e.length;
            e.from = NodeIndex(model, from);
            e.to = NodeIndex(model, to);
            model.links.push_back(e);
        }
    }
    return true;
}

// The element at a 1-based index of the open model, or null.
const Element* At(const std::vector<Element>& list, int index) {
    return index >= 1 && index <= static_cast<int>(list.size()) ? &list[index - 1] : nullptr;
}

// Copies an ID as EPANET 2.2 does: up to 31 characters and the terminator.
int CopyId(const Element* e, char* out, int error) {
    if (e == nullptr) {
        return error;
    }
    std::strncpy(out, e->id.c_str(), 31);
    out[31] = '\0';
    return 0;
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
    return Read(inp, g_model) ? 0 : 302;
}

FAKE_API int ENclose() {
    Log("ENclose");
    g_model = Model();
    return 0;
}

FAKE_API int ENgetcount(int code, int* count) {
    int tanks = 0;
    for (const Element& n : g_model.nodes) {
        tanks += n.type != 0 ? 1 : 0;
    }
    *count = code == 0 ? static_cast<int>(g_model.nodes.size())
                       : (code == 1 ? tanks : static_cast<int>(g_model.links.size()));
    return 0;
}

FAKE_API int ENgetnodeid(int index, char* id) {
    return CopyId(At(g_model.nodes, index), id, 203);
}

FAKE_API int ENgetlinkid(int index, char* id) {
    return CopyId(At(g_model.links, index), id, 204);
}

FAKE_API int ENgetnodetype(int index, int* type) {
    const Element* n = At(g_model.nodes, index);
    *type = n != nullptr ? n->type : -1;
    return n != nullptr ? 0 : 203;
}

FAKE_API int ENgetlinktype(int index, int* type) {
    const Element* l = At(g_model.links, index);
    *type = l != nullptr ? l->type : -1;
    return l != nullptr ? 0 : 204;
}

FAKE_API int ENgetlinknodes(int index, int* from, int* to) {
    const Element* l = At(g_model.links, index);
    *from = l != nullptr ? l->from : 0;
    *to = l != nullptr ? l->to : 0;
    return l != nullptr ? 0 : 204;
}

FAKE_API int ENgetlinkvalue(int index, int code, float* value) {
    const Element* l = At(g_model.links, index);
    *value = l != nullptr && code == 1 ? l->length : 0.0f;
    return l != nullptr ? 0 : 204;
}
