// The toolkit's scratch files in the current folder ("rep.dat", "out.dat",
// "a", "b"): those a run creates are removed again, those that were there
// before are left.
#pragma once

#include <filesystem>
#include <vector>

namespace kelvarn::app {

class ScratchFiles {
  public:
    ScratchFiles();   // notes which of them exist now
    ~ScratchFiles();  // removes the ones that did not
    ScratchFiles(const ScratchFiles&) = delete;
    ScratchFiles& operator=(const ScratchFiles&) = delete;

  private:
    std::filesystem::path folder_;
    std::vector<std::filesystem::path> created_;
};

}  // namespace kelvarn::app
