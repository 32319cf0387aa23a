// Audio tests hear what the engine mixes through OpenAL Soft's wave-file writer: the process's
// OpenAL configuration (read once, at its first use) names a file of the test's own, written in
// real time while a device is open and complete once it closes.
#pragma once

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "test_files.h"

namespace tx::test {

class WaveOutput {
public:
    // The process's capture; configures OpenAL on first use, before anything opens a device.
    static WaveOutput& instance() {
        static WaveOutput output;
        return output;
    }
    const std::filesystem::path& file() const { return file_; }

private:
    WaveOutput() : file_(dir_ / "mix.wav") {
        const std::filesystem::path config = dir_ / "alsoft.conf";
        std::ofstream(config) << "[general]\nchannels=stereo\nsample-type=int16\nfrequency=44100\n"
                              << "[wave]\nfile=" << file_.string() << "\n";
        ::setenv("ALSOFT_CONF", config.c_str(), 1);
        ::setenv("ALSOFT_DRIVERS", "wave", 1);
    }

    TempDir dir_;
    std::filesystem::path file_;
};

}  // namespace tx::test
