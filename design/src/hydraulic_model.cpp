#include "kelvarn/design/hydraulic_model.h"

#include "kelvarn/binding/toolkit.h"

namespace kelvarn::design {

int ToolkitHydraulicModel::ENopen(const std::string& inpFile, const std::string& rptFile,
                                  const std::string& outFile) {
    return toolkit_.ENopen(inpFile, rptFile, outFile);
}
int ToolkitHydraulicModel::ENclose() {
    return toolkit_.ENclose();
}
int ToolkitHydraulicModel::ENopenH() {
    return toolkit_.ENopenH();
}
int ToolkitHydraulicModel::ENinitH(int flag) {
    return toolkit_.ENinitH(flag);
}
int ToolkitHydraulicModel::ENrunH(long& currentTime) {
    return toolkit_.ENrunH(currentTime);
}
int ToolkitHydraulicModel::ENnextH(long& timeStep) {
    return toolkit_.ENnextH(timeStep);
}
int ToolkitHydraulicModel::ENgetnodevalue(int index, int code, float& value) {
    return toolkit_.ENgetnodevalue(index, code, value);
}
int ToolkitHydraulicModel::ENgetlinkvalue(int index, int code, float& value) {
    return toolkit_.ENgetlinkvalue(index, code, value);
}
int ToolkitHydraulicModel::ENsetlinkvalue(int index, int code, float value) {
    return toolkit_.ENsetlinkvalue(index, code, value);
}
int ToolkitHydraulicModel::ENsaveinpfile(const std::string& fileName) {
    return toolkit_.ENsaveinpfile(fileName);
}

}  // namespace kelvarn::design
