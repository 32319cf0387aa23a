// Tracker modules rendered by libopenmpt in 16-bit stereo.
#include <libopenmpt/libopenmpt.h>

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

struct MetadataDeleter {
    void operator()(const char* text) const { openmpt_free_string(text); }
};
using MetadataPtr = std::unique_ptr<const char, MetadataDeleter>;

// libopenmpt otherwise writes its loader messages and errors to stderr.
int ignoreError(int, void*) {
    return OPENMPT_ERROR_FUNC_RESULT_NONE;
}

std::vector<char> readWholeFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return {};
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The loader takes what it can from a cut file and only warns: notes or samples that end early.
bool warnsOfMissingData(openmpt_module* module) {
    const MetadataPtr warnings(openmpt_module_get_metadata(module, "warnings"));
    if (!warnings) return false;
    const std::string_view text(warnings.get());
    for (std::string_view sign : {"truncated", "Truncated", "unexpected end", "Unexpected end"}) {
        if (text.find(sign) != std::string_view::npos) return true;
    }
    return false;
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
    if (!module || warnsOfMissingData(module.get())) return nullptr;
    openmpt_module_set_repeat_count(module.get(), repeat ? -1 : 0);
    return std::make_unique<TrackerDecoder>(std::move(module), rate);
}

}  // namespace tx::sound
