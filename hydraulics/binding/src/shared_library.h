// A dynamic library opened on first use, whose functions are looked up by name.
#pragma once

#include <filesystem>
#include <string>

namespace kelvarn::binding {

class SharedLibrary {
  public:
    explicit SharedLibrary(std::filesystem::path path) : path_(std::move(path)) {}
    ~SharedLibrary();
    SharedLibrary(const SharedLibrary&) = delete;
    SharedLibrary& operator=(const SharedLibrary&) = delete;

    const std::filesystem::path& path() const { return path_; }

    // Opens the library if needed and returns the named function; throws ToolkitUnavailable
    // naming the file or the function when either cannot be found.
    void* function(const char* name);

  private:
    std::filesystem::path path_;
    void* handle_ = nullptr;
};

// The folder of the running executable, from /proc/self/exe; empty when it cannot be read.
std::filesystem::path executableFolder();

}  // namespace kelvarn::binding
