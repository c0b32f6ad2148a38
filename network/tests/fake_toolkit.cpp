// A stand-in hydraulic toolkit for the loader's tests. It reads its model from
// a "[FAKE]" section of the input file itself:
//   epanet <code>                        the code ENepanet returns
//   node <id> <type>                     in toolkit order
//   link <id> <type> <from> <to> <length>
// and logs every call, so tests can check the order of calls.
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#define FAKE_API extern "C" __attribute__((visibility("default")))

namespace {

struct Node {
    std::string id;
    int type = 0;
};
struct Link {
    std::string id;
    int type = 0;
    int from = 0;
    int to = 0;
    float length = 0;
};
struct Model {
    int epanetCode = 0;
    std::vector<Node> nodes;
    std::vector<Link> links;
};

// The stand-in's state; only tests load this library.
Model g_model;
bool g_open = false;
std::string g_log;

void Log(const std::string& call) {
    g_log += (g_log.empty() ? "" : " ") + call;
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
        if (!(words >> word)) {
            continue;
        }
        if (word[0] == '[') {
            inFake = word == "[FAKE]";
        } else if (inFake && word == "epanet") {
            words >> model.epanetCode;
        } else if (inFake && word == "node") {
            Node n;
            words >> n.id >> n.type;
            model.nodes.push_back(n);
        } else if (inFake && word == "link") {
            Link l;
            std::string from;
            std::string to;
            words >> l.id >> l.type >> from >> to >> l.length;
            for (std::size_t i = 0; i < model.nodes.size(); ++i) {
                l.from = model.nodes[i].id == from ? static_cast<int>(i + 1) : l.from;
                l.to = model.nodes[i].id == to ? static_cast<int>(i + 1) : l.to;
            }
            model.links.push_back(l);
        }
    }
    return true;
}

bool ValidNode(int index) {
    return g_open && index >= 1 && index <= static_cast<int>(g_model.nodes.size());
}
bool ValidLink(int index) {
    return g_open && index >= 1 && index <= static_cast<int>(g_model.links.size());
}

// Copies an ID as EPANET 2.2 does: up to 31 characters and the terminator.
int CopyId(const std::string& id, char* out) {
    std::strncpy(out, id.c_str(), 31);
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
    g_open = Read(inp, g_model);
    return g_open ? 0 : 302;
}

FAKE_API int ENclose() {
    Log("ENclose");
    g_open = false;
    g_model = Model();
    return 0;
}

FAKE_API int ENgetcount(int code, int* count) {
    Log("ENgetcount(" + std::to_string(code) + ")");
    int tanks = 0;
    for (const Node& n : g_model.nodes) {
        tanks += n.type != 0 ? 1 : 0;
    }
    *count = code == 0   ? static_cast<int>(g_model.nodes.size())
             : code == 1 ? tanks
             : code == 2 ? static_cast<int>(g_model.links.size())
                         : 0;
    return g_open ? 0 : 102;
}

FAKE_API int ENgetnodeid(int index, char* id) {
    Log("ENgetnodeid(" + std::to_string(index) + ")");
    return ValidNode(index) ? CopyId(g_model.nodes[index - 1].id, id) : 203;
}

FAKE_API int ENgetnodetype(int index, int* type) {
    Log("ENgetnodetype(" + std::to_string(index) + ")");
    if (!ValidNode(index)) {
        return 203;
    }
    *type = g_model.nodes[index - 1].type;
    return 0;
}

FAKE_API int ENgetlinkid(int index, char* id) {
    Log("ENgetlinkid(" + std::to_string(index) + ")");
    return ValidLink(index) ? CopyId(g_model.links[index - 1].id, id) : 204;
}

FAKE_API int ENgetlinktype(int index, int* type) {
    Log("ENgetlinktype(" + std::to_string(index) + ")");
    if (!ValidLink(index)) {
        return 204;
    }
    *type = g_model.links[index - 1].type;
    return 0;
}

FAKE_API int ENgetlinknodes(int index, int* from, int* to) {
    Log("ENgetlinknodes(" + std::to_string(index) + ")");
    if (!ValidLink(index)) {
        return 204;
    }
    *from = g_model.links[index - 1].from;
    *to = g_model.links[index - 1].to;
    return 0;
}

FAKE_API int ENgetlinkvalue(int index, int code, float* value) {
    Log("ENgetlinkvalue(" + std::to_string(index) + "," + std::to_string(code) + ")");
    if (!ValidLink(index)) {
        return 204;
    }
    *value = code == 1 ? g_model.links[index - 1].length : 0.0f;
    return 0;
}
