#include "font_face.h"

#include <fontconfig/fontconfig.h>

#include <filesystem>
#include <optional>
#include <system_error>

#include "ascii_case.h"
#include "path_lookup.h"

namespace tx {
namespace {

struct PatternDone {
    void operator()(FcPattern* pattern) const { FcPatternDestroy(pattern); }
};
using Pattern = std::unique_ptr<FcPattern, PatternDone>;

struct Located {
    std::string file;
    int index = 0;
};

// The installed face fontconfig chooses for a face name, weight and slant.
std::optional<Located> matchInstalled(std::string_view name, bool bold, bool italic) {
    if (FcInit() == FcFalse) return std::nullopt;
    Pattern pattern(FcPatternCreate());
    if (pattern == nullptr) return std::nullopt;
    const std::string family(name);
    if (equalsIgnoringCase(name, "courier")) {
        // The classic monospaced face: Liberation Mono has its metrics; otherwise whatever
        // monospaced face is installed.
        FcPatternAddString(pattern.get(), FC_FAMILY,
                           reinterpret_cast<const FcChar8*>("Liberation Mono"));
        FcPatternAddString(pattern.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>("monospace"));
    } else {
        FcPatternAddString(pattern.get(), FC_FAMILY,
                           reinterpret_cast<const FcChar8*>(family.c_str()));
    }
    FcPatternAddInteger(pattern.get(), FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern.get(), FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    if (FcConfigSubstitute(nullptr, pattern.get(), FcMatchPattern) == FcFalse) return std::nullopt;
    FcDefaultSubstitute(pattern.get());
    FcResult result = FcResultNoMatch;
    const Pattern match(FcFontMatch(nullptr, pattern.get(), &result));
    if (match == nullptr || result != FcResultMatch) return std::nullopt;
    FcChar8* file = nullptr;
    if (FcPatternGetString(match.get(), FC_FILE, 0, &file) != FcResultMatch || file == nullptr)
        return std::nullopt;
    Located located{reinterpret_cast<const char*>(file), 0};
    FcPatternGetInteger(match.get(), FC_INDEX, 0, &located.index);
    return located;
}

// A program's font file, when it exists.
std::optional<Located> findFile(std::string_view name) {
    std::string path = hostPath(name);
    std::error_code error;
    if (path.empty() || !std::filesystem::is_regular_file(path, error)) return std::nullopt;
    return Located{std::move(path), 0};
}

}  // namespace

std::unique_ptr<FontFace> FontFace::open(std::string_view name, bool bold, bool italic) {
    const std::optional<Located> located = name.find('.') != std::string_view::npos
                                               ? findFile(name)
                                               : matchInstalled(name, bold, italic);
    if (!located) return nullptr;
    auto font = std::make_unique<FontFace>();
    FT_Library library = nullptr;
    if (FT_Init_FreeType(&library) != 0) return nullptr;
    font->library_.reset(library);
    FT_Face face = nullptr;
    if (FT_New_Face(library, located->file.c_str(), located->index, &face) != 0) return nullptr;
    font->face_.reset(face);
    font->file_ = located->file;
    font->emboldenNeeded_ = bold && (face->style_flags & FT_STYLE_FLAG_BOLD) == 0;
    font->slantNeeded_ = italic && (face->style_flags & FT_STYLE_FLAG_ITALIC) == 0;
    return font;
}

}  // namespace tx
