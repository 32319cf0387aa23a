// The face behind a font: a font file named by the program, or an installed face that
// fontconfig finds by name, weight and slant, opened with FreeType. The library and the face
// are released together when the FontFace goes.
#pragma once

#include <ft2build.h>
#include FT_FREETYPE_H

#include <memory>
#include <string>
#include <string_view>

namespace tx {

class FontFace {
public:
    // A name containing '.' is a font file, found as the file commands find files (either
    // separator, any letter case); a file that does not exist gives null. Any other name is a
    // face name that fontconfig resolves (to its nearest match when it has no exact one);
    // "courier" is a monospaced face. Null when no face can be opened.
    static std::unique_ptr<FontFace> open(std::string_view name, bool bold, bool italic);

    FT_Face face() const { return face_.get(); }
    // The face lacks the requested style and it must be made up when rasterising.
    bool emboldenNeeded() const { return emboldenNeeded_; }
    bool slantNeeded() const { return slantNeeded_; }
    const std::string& file() const { return file_; }

private:
    struct LibraryDone {
        void operator()(FT_Library library) const { FT_Done_FreeType(library); }
    };
    struct FaceDone {
        void operator()(FT_Face face) const { FT_Done_Face(face); }
    };
    // The face is declared after the library: it is released first.
    std::unique_ptr<FT_LibraryRec_, LibraryDone> library_;
    std::unique_ptr<FT_FaceRec_, FaceDone> face_;
    std::string file_;
    bool emboldenNeeded_ = false;
    bool slantNeeded_ = false;
};

}  // namespace tx
