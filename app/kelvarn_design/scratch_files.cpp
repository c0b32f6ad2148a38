#include "scratch_files.h"

#include <system_error>

namespace kelvarn::app {

namespace {
constexpr const char* kScratchNames[] = {"rep.dat", "out.dat", "a", "b"};
}

ScratchFiles::ScratchFiles() {
    std::error_code ec;
    folder_ = std::filesystem::current_path(ec);
    for (const char* name : kScratchNames) {
        const std::filesystem::path path = folder_ / name;
        if (!std::filesystem::exists(std::filesystem::symlink_status(path, ec))) {
            created_.push_back(path);
        }
    }
}

ScratchFiles::~ScratchFiles() {
    std::error_code ec;
    for (const std::filesystem::path& path : created_) {
        if (std::filesystem::is_regular_file(std::filesystem::symlink_status(path, ec))) {
            std::filesystem::remove(path, ec);
        }
    }
}

}  // namespace kelvarn::app
