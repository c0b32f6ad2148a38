// The program's one way into the hydraulic toolkit. The library is bound at run
// time by file name from the folder of the running executable, and each
// function is resolved by name on first use, so any library exporting the
// EPANET 2 toolkit functions under that name serves.
#pragma once

#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>

namespace kelvarn::binding {

// Raised when the library or one of its functions cannot be found.
class ToolkitUnavailable : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// EPANET 2 codes used by the program.
namespace en {
inline constexpr int NODECOUNT = 0;
inline constexpr int TANKCOUNT = 1;
inline constexpr int LINKCOUNT = 2;

inline constexpr int DIAMETER = 0;
inline constexpr int LENGTH = 1;
inline constexpr int ROUGHNESS = 2;
inline constexpr int INITSTATUS = 4;
inline constexpr int VELOCITY = 9;

inline constexpr int ELEVATION = 0;
inline constexpr int DEMAND = 9;
inline constexpr int HEAD = 10;
inline constexpr int PRESSURE = 11;

inline constexpr int CVPIPE = 0;
inline constexpr int PIPE = 1;
inline constexpr int PUMP = 2;

inline constexpr int JUNCTION = 0;
inline constexpr int RESERVOIR = 1;
inline constexpr int TANK = 2;
}  // namespace en

// Every method returns the toolkit's code (0 success, 1-6 warnings, >= 100 errors). The library
// is opened by the first call and each function is looked up by its first call; either failing
// throws ToolkitUnavailable naming the file or the function. IDs come back whole: the toolkit
// writes up to EN_MAXID (31) characters, into a buffer with room to spare.
class Toolkit {
  public:
    // The default library file name, looked up beside the executable.
    static constexpr const char* kDefaultLibrary = "libkvepa2.so";

    Toolkit();                                        // default library beside the executable
    explicit Toolkit(std::filesystem::path library);  // a library at this path
    ~Toolkit();
    Toolkit(const Toolkit&) = delete;
    Toolkit& operator=(const Toolkit&) = delete;

    const std::filesystem::path& libraryPath() const { return path_; }

    int ENepanet(const std::string& inpFile, const std::string& rptFile, const std::string& outFile);
    int ENopen(const std::string& inpFile, const std::string& rptFile, const std::string& outFile);
    int ENclose();
    int ENgetcount(int code, int& count);
    int ENgetnodeid(int index, std::string& id);
    int ENgetlinkid(int index, std::string& id);
    int ENgetnodetype(int index, int& type);
    int ENgetlinktype(int index, int& type);
    int ENgetlinknodes(int index, int& node1, int& node2);
    int ENgetlinkvalue(int index, int code, float& value);
    int ENgetnodevalue(int index, int code, float& value);
    int ENsetlinkvalue(int index, int code, float value);
    int ENopenH();
    int ENinitH(int flag);
    int ENrunH(long& currentTime);
    int ENnextH(long& timeStep);
    int ENsaveinpfile(const std::string& fileName);

    // Room for an ID of EN_MAXID characters and its terminator, with plenty to spare.
    static constexpr int kIdBufferSize = 64;

  private:
    struct Impl;
    std::filesystem::path path_;
    std::unique_ptr<Impl> impl_;
};

}  // namespace kelvarn::binding
