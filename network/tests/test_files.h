// Writing small input files for a test into the test's working folder.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace kelvarn::network::testing {

inline std::string WriteTestFile(const std::string& name, const std::string& text) {
    const std::filesystem::path dir = std::filesystem::current_path() / "network_test_files";
    std::filesystem::create_directories(dir);
    const std::filesystem::path path = dir / name;
    std::ofstream(path, std::ios::binary) << text;
    return path.string();
}

}  // namespace kelvarn::network::testing
