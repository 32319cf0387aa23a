// Linking hand-built module images.
#include <gtest/gtest.h>

#include "command_registry.h"
#include "guest_machine.h"
#include "image_builder.h"
#include "linker.h"
#include "module_image.h"
#include "runtime_interface.h"

namespace tx {
namespace {

using test::ImageBuilder;
using Status = LinkResult::Status;

class LinkerTest : public ::testing::Test {
protected:
    LinkResult linkImage(const ImageBuilder& image) { return linkBytes(image.bytes()); }
    LinkResult linkBytes(const std::vector<uint8_t>& bytes) {
        return link(runtimeGetRuntime(), bytes, machine);
    }
    uint32_t word(GuestAddr base, uint32_t offset) {
        return machine.memory().read<uint32_t>(base + offset);
    }

    GuestMachine machine;
};

ImageBuilder codeOf(size_t size) {
    ImageBuilder image;
    image.code.assign(size, 0);
    return image;
}

TEST_F(LinkerTest, MalformedImagesAreRefusedWithoutReadingPastThem) {
    ImageBuilder valid = codeOf(24);
    valid.symbols = {{"__MAIN", 0}, {"_fx", 4}};
    valid.relative = {{"_fx", 8}};
    valid.absolute = {{"_fend", 12}};
    const std::vector<uint8_t> bytes = valid.bytes();
    ASSERT_EQ(linkBytes(bytes).status, Status::Linked);
    // Every truncation, each copied to a buffer of exactly its size (ASan sees any overread).
    for (size_t n = 0; n < bytes.size(); ++n) {
        std::vector<uint8_t> prefix(bytes.begin(), bytes.begin() + static_cast<long>(n));
        EXPECT_EQ(linkBytes(prefix).status, Status::UnusableImage) << "prefix " << n;
    }

    ImageBuilder lying = valid;
    lying.relativeCount = 1000;
    EXPECT_EQ(linkImage(lying).status, Status::UnusableImage);

    ImageWriter huge;
    huge.u32(0xFFFF'FFF0u);  // a code size far past the end
    EXPECT_EQ(linkBytes(huge.bytes()).status, Status::UnusableImage);

    for (uint32_t offset : {21u, 22u, 24u, 0xFFFF'FFFEu}) {
        ImageBuilder outside = codeOf(24);
        outside.absolute = {{"_fend", offset}};
        EXPECT_EQ(linkImage(outside).status, Status::UnusableImage) << offset;
    }
    ImageBuilder atEnd = codeOf(24);
    atEnd.absolute = {{"_fend", 20}};
    EXPECT_EQ(linkImage(atEnd).status, Status::Linked);

    // A name whose terminator is missing: the image ends inside it.
    ImageWriter unterminated;
    unterminated.code(codeOf(4).code);
    unterminated.count(1);
    std::vector<uint8_t> cut = unterminated.take();
    for (char c : std::string("_fend")) cut.push_back(static_cast<uint8_t>(c));
    EXPECT_EQ(linkBytes(cut).status, Status::UnusableImage);
}

}  // namespace
}  // namespace tx
