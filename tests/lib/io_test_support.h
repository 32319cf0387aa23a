// Set-up for the file-system tests: the modules and a fresh string pool
// per test, a temporary directory, and small helpers for files and strings.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "bank_commands.h"
#include "filesystem_state.h"
#include "library_modules.h"
#include "module_state.h"
#include "string_pool.h"
#include "test_files.h"
#include "tx_stream.h"
#include "tx_string.h"

namespace tx::test {

// The file-system module's state while a test runs.
inline FilesystemModule& files() {
    return ModuleState<FilesystemModule>::running();
}

inline StrArg arg(std::string_view text) {
    return StrArg(strNew(text).handle);
}

// The text of a returned string, which is released.
inline std::string take(Str s) {
    std::string text(strText(s.handle));
    strRelease(s.handle);
    return text;
}

// The stream, file-system and bank modules around each test, as a run creates them.
class IoTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(dir.path().empty());
        stringsCreate();
        ASSERT_TRUE(streamCreate());
        ASSERT_TRUE(filesystemCreate());
        ASSERT_TRUE(bankCreate());
    }
    void TearDown() override {
        bankDestroy();
        filesystemDestroy();
        streamDestroy();
        EXPECT_EQ(liveStreamCount(), 0) << "a module left streams alive";
        EXPECT_EQ(liveStrings(), 0) << "a command leaked a string";
        stringsDestroy();
    }

    TempDir dir;
};

}  // namespace tx::test
