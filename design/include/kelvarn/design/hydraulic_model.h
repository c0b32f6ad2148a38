// The toolkit operations a design process uses, behind an interface so that
// the process can be exercised on scripted hydraulics as well as on the toolkit.
#pragma once

#include <string>

namespace kelvarn::binding {
class Toolkit;
}

namespace kelvarn::design {

// Every function returns the toolkit's code (0 success, 1-6 warnings, >= 100 errors).
class HydraulicModel {
  public:
    virtual ~HydraulicModel() = default;

    virtual int ENopen(const std::string& inpFile, const std::string& rptFile,
                       const std::string& outFile) = 0;
    virtual int ENclose() = 0;
    virtual int ENopenH() = 0;
    virtual int ENinitH(int flag) = 0;
    virtual int ENrunH(long& currentTime) = 0;
    virtual int ENnextH(long& timeStep) = 0;
    virtual int ENgetnodevalue(int index, int code, float& value) = 0;
    virtual int ENgetlinkvalue(int index, int code, float& value) = 0;
    virtual int ENsetlinkvalue(int index, int code, float value) = 0;
    virtual int ENsaveinpfile(const std::string& fileName) = 0;
};

// The toolkit itself, through the program's binding.
class ToolkitHydraulicModel final : public HydraulicModel {
  public:
    explicit ToolkitHydraulicModel(binding::Toolkit& toolkit) : toolkit_(toolkit) {}

    int ENopen(const std::string& inpFile, const std::string& rptFile, const std::string& outFile) override;
    int ENclose() override;
    int ENopenH() override;
    int ENinitH(int flag) override;
    int ENrunH(long& currentTime) override;
    int ENnextH(long& timeStep) override;
    int ENgetnodevalue(int index, int code, float& value) override;
    int ENgetlinkvalue(int index, int code, float& value) override;
    int ENsetlinkvalue(int index, int code, float value) override;
    int ENsaveinpfile(const std::string& fileName) override;

  private:
    binding::Toolkit& toolkit_;
};

}  // namespace kelvarn::design
