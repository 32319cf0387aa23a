// Tracker modules rendered by libopenmpt in 16-bit stereo.
#include <libopenmpt/libopenmpt.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string_view>

#include "decoder.h"

namespace tx::sound {

namespace {

struct ModuleDeleter {
    void operator()(openmpt_module* module) const { openmpt_module_destroy(module); }
};
using ModulePtr = std::unique_ptr<openmpt_module, ModuleDeleter>;

// libopenmpt otherwise writes its loader messages and errors to stderr.
int ignoreError(int, void*) {
    return OPENMPT_ERROR_FUNC_RESULT_NONE;
}

std::vector<char> readWholeFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return {};
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The channels of a 31-sample ProTracker-style module from the tag at 1080, 0 for other files.
int modChannels(const std::vector<char>& bytes) {
    if (bytes.size() < 1084) return 0;
    const std::string_view tag(bytes.data() + 1080, 4);
    const auto digit = [](char c) { return c >= '0' && c <= '9'; };
    if (tag == "M.K." || tag == "M!K!" || tag == "M&K!" || tag == "FLT4") return 4;
    if (digit(tag[0]) && tag.substr(1) == "CHN") return tag[0] - '0';
    if (digit(tag[0]) && digit(tag[1]) && tag.substr(2) == "CH") {
        return (tag[0] - '0') * 10 + (tag[1] - '0');
    }
    return 0;
}

// libopenmpt loads a cut file without a word (missing patterns play empty, missing sample data
// silent), so a ProTracker-style module is measured here: header, every pattern the order list
// names, then every sample's data.
bool isCutModFile(const std::vector<char>& bytes) {
    const int channels = modChannels(bytes);
    if (channels == 0) return false;
    const auto byte = [&](size_t at) { return static_cast<uint8_t>(bytes[at]); };
    size_t sampleBytes = 0;
    for (size_t header = 20 + 22; header < 950; header += 30) {
        sampleBytes += 2 * (size_t{byte(header)} << 8 | byte(header + 1));
    }
    size_t patterns = 0;
    for (size_t order = 952; order < 1080; ++order) {
        patterns = std::max<size_t>(patterns, byte(order) + 1);
    }
    return bytes.size() < 1084 + patterns * 64 * channels * 4 + sampleBytes;
}

class TrackerDecoder final : public Decoder {
public:
    TrackerDecoder(ModulePtr module, int32_t rate) : module_(std::move(module)) {
        format_ = {rate, 2};
    }

    size_t read(std::span<int16_t> out) override {
        return openmpt_module_read_interleaved_stereo(module_.get(), format_.rate, out.size() / 2,
                                                      out.data());
    }

    bool rewind() override {
        openmpt_module_set_position_seconds(module_.get(), 0.0);
        return true;
    }

private:
    ModulePtr module_;
};

}  // namespace

std::unique_ptr<Decoder> openTrackerModule(const std::filesystem::path& path, int32_t rate,
                                           bool repeat) {
    // libopenmpt renders at 8 to 192 kHz.
    if (rate < 8000 || rate > 192000) return nullptr;
    const std::vector<char> bytes = readWholeFile(path);
    if (bytes.empty()) return nullptr;
    int error = OPENMPT_ERROR_OK;
    const char* message = nullptr;
    ModulePtr module(openmpt_module_create_from_memory2(
        bytes.data(), bytes.size(), openmpt_log_func_silent, nullptr, ignoreError, nullptr, &error,
        &message, nullptr));
    openmpt_free_string(message);
    if (!module || isCutModFile(bytes)) return nullptr;
    openmpt_module_set_repeat_count(module.get(), repeat ? -1 : 0);
    return std::make_unique<TrackerDecoder>(std::move(module), rate);
}

}  // namespace tx::sound
