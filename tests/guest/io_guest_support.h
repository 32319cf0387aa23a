// Shared set-up for the guest tests of streams, files and banks: a temporary directory that the
// programs find in TX_IO_DIR, and a clean slate of the TX_IO_ variables they report through.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "guest_runner.h"
#include "test_files.h"

extern char** environ;

namespace tx::test {

class IoGuestTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(tempDir.path().empty());
        dir = tempDir.path();
        clearReports();
        ::setenv("TX_IO_DIR", dir.c_str(), 1);
    }
    void TearDown() override {
        std::filesystem::current_path(startDir);
        clearReports();
    }

    static void clearReports() {
        std::vector<std::string> names;
        for (char** e = environ; *e != nullptr; ++e) {
            const std::string entry(*e);
            if (entry.rfind("TX_IO_", 0) == 0) names.push_back(entry.substr(0, entry.find('=')));
        }
        for (const auto& name : names) ::unsetenv(name.c_str());
    }

    std::string file(const std::string& name) const { return dir + "/" + name; }

    static std::vector<uint8_t> bytesOf(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    static void put(const std::string& path, const std::vector<uint8_t>& bytes) {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
    }
    static std::string firstError(const GuestRun& run) {
        return run.debugger.errors.empty() ? "" : run.debugger.errors.front();
    }

    TempDir tempDir;
    std::string dir;
    std::filesystem::path startDir = std::filesystem::current_path();
};

}  // namespace tx::test
