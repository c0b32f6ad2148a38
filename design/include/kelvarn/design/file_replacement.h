// Writing a file so that readers see the old file or the complete new one,
// never a half-written one.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

namespace kelvarn::design {

// A name beside target, unused at the time of the call, for a file to be renamed
// onto target once it is complete.
std::filesystem::path SiblingTemporaryPath(const std::filesystem::path& target);

// Writes bytes to a sibling temporary file and renames it onto target.
bool WriteFileAtomically(const std::filesystem::path& target, std::string_view bytes, std::string* error);

// Lets produce write the file at a sibling temporary path; when it returns true
// and the file exists, renames it onto target, otherwise removes it.
bool ReplaceFileAtomically(const std::filesystem::path& target,
                           const std::function<bool(const std::filesystem::path& temporary)>& produce,
                           std::string* error);

}  // namespace kelvarn::design
