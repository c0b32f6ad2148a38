// A toolkit with EPANET 2's legacy signatures that records what it is handed. It has no
// ENinitH and no ENepanet, so the binding's missing-function path can be exercised.
#include <cstring>

#define FAKE_EXPORT extern "C" __attribute__((visibility("default")))

namespace {
int lastIndex = 0;
int lastProperty = 0;
float lastValue = 0.0f;
bool opened = false;

// 31 characters, the longest ID EPANET 2.2 and later accept.
constexpr const char* kLongId = "J1234567890123456789012345678_Z";
constexpr const char* kOddId = "~@node";
}  // namespace

FAKE_EXPORT int ENopen(const char* inp, const char*, const char*) {
    opened = inp && std::strcmp(inp, "net.inp") == 0;
    return opened ? 0 : 302;
}
FAKE_EXPORT int ENclose() {
    opened = false;
    return 0;
}
FAKE_EXPORT int ENgetcount(int code, int* count) {
    *count = code == 0 ? 2 : code == 2 ? 1 : 0;
    return 0;
}
FAKE_EXPORT int ENgetnodeid(int index, char* id) {
    if (index == 1 || index == 2) {
        std::strcpy(id, index == 1 ? kLongId : kOddId);
        return 0;
    }
    return 203;
}
FAKE_EXPORT int ENgetlinkid(int index, char* id) {
    if (index != 1) {
        return 204;
    }
    std::strcpy(id, kLongId);
    return 0;
}
FAKE_EXPORT int ENgetlinknodes(int, int* n1, int* n2) {
    *n1 = 1;
    *n2 = 2;
    return 0;
}
FAKE_EXPORT int ENgetlinkvalue(int index, int property, float* value) {
    *value = index == lastIndex && property == lastProperty ? lastValue : -1.0f;
    return 0;
}
FAKE_EXPORT int ENsetlinkvalue(int index, int property, float value) {
    lastIndex = index;
    lastProperty = property;
    lastValue = value;
    return 0;
}
FAKE_EXPORT int ENrunH(long* t) {
    *t = 86400L * 365 * 100;  // beyond 32 bits signed: a time passed through an int would be cut
    return 6;
}
FAKE_EXPORT int ENnextH(long* step) {
    *step = 0;
    return 0;
}
