#include "shared_library.h"

#include <dlfcn.h>

#include <system_error>

#include "kelvarn/binding/toolkit.h"

namespace kelvarn::binding {

namespace {
std::string lastDlError() {
    const char* text = dlerror();
    return text ? text : "unknown reason";
}
}  // namespace

SharedLibrary::~SharedLibrary() {
    if (handle_) {
        dlclose(handle_);
    }
}

void* SharedLibrary::function(const char* name) {
    if (!handle_) {
        if (path_.empty()) {
            throw ToolkitUnavailable("the hydraulic toolkit library has no file name");
        }
        // RTLD_LOCAL: the toolkit's symbols stay out of the program's namespace.
        handle_ = dlopen(path_.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!handle_) {
            throw ToolkitUnavailable("cannot load the hydraulic toolkit library " + path_.string() + ": " +
                                     lastDlError());
        }
    }
    void* f = dlsym(handle_, name);
    if (!f) {
        throw ToolkitUnavailable("the hydraulic toolkit library " + path_.string() + " has no function " +
                                 name);
    }
    return f;
}

std::filesystem::path executableFolder() {
    std::error_code ec;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::filesystem::path() : exe.parent_path();
}

}  // namespace kelvarn::binding
