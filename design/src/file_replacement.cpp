#include "kelvarn/design/file_replacement.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <random>
#include <system_error>

namespace kelvarn::design {

namespace {

void SetError(std::string* error, std::string text) {
    if (error != nullptr) {
        *error = std::move(text);
    }
}

}  // namespace

std::filesystem::path SiblingTemporaryPath(const std::filesystem::path& target) {
    // The process id and a random part keep concurrent writers apart.
    std::random_device random;
    std::filesystem::path candidate;
    std::error_code ec;
    do {
        candidate = target;
        candidate += ".tmp" + std::to_string(::getpid()) + "_" + std::to_string(random());
    } while (std::filesystem::exists(candidate, ec));
    return candidate;
}

bool ReplaceFileAtomically(const std::filesystem::path& target,
                           const std::function<bool(const std::filesystem::path& temporary)>& produce,
                           std::string* error) {
    const std::filesystem::path temporary = SiblingTemporaryPath(target);
    std::error_code ec;
    const bool produced = produce(temporary);
    if (!produced || !std::filesystem::is_regular_file(temporary, ec)) {
        std::filesystem::remove(temporary, ec);
        if (produced) {
            SetError(error, "nothing was written to " + target.string());
        }
        return false;
    }
    std::filesystem::rename(temporary, target, ec);
    if (ec) {
        SetError(error, "cannot write " + target.string() + ": " + ec.message());
        std::error_code ignored;
        std::filesystem::remove(temporary, ignored);
        return false;
    }
    return true;
}

bool WriteFileAtomically(const std::filesystem::path& target, std::string_view bytes, std::string* error) {
    return ReplaceFileAtomically(
        target,
        [&](const std::filesystem::path& temporary) {
            std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
            if (!out) {
                SetError(error, "cannot create " + target.string() + ": " + std::strerror(errno));
                return false;
            }
            out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
            out.close();
            if (!out) {
                SetError(error, "cannot write " + target.string());
                return false;
            }
            return true;
        },
        error);
}

}  // namespace kelvarn::design
