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

    static void clearReports() { clearEnvironment("TX_IO_"); }

    std::string file(const std::string& name) const { return dir + "/" + name; }

    TempDir tempDir;
    std::string dir;
    std::filesystem::path startDir = std::filesystem::current_path();
};

}  // namespace tx::test
