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

// Truncated images, counts past the end, fixups whose word leaves the code block and a name
// without its terminator: each refused.
TEST_F(LinkerTest, MalformedImagesAreRefusedWithoutReadingPastThem) {
    ImageBuilder valid = ImageBuilder::assemble("__MAIN: 00000000 _fx: 00000000 <_fx> [_fend] 00");
    valid.code.resize(24);
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

    for (uint32_t offset : {20u, 21u, 22u, 24u, 0xFFFF'FFFEu}) {
        ImageBuilder fixup;
        fixup.code.resize(24);
        fixup.absolute = {{"_fend", offset}};
        EXPECT_EQ(linkImage(fixup).status, offset == 20 ? Status::Linked : Status::UnusableImage)
            << offset;
    }

    // A name whose terminator is missing: the image ends inside it.
    ImageWriter unterminated;
    unterminated.code(std::vector<uint8_t>(4));
    unterminated.count(1);
    std::vector<uint8_t> cut = unterminated.take();
    for (char c : std::string("_fend")) cut.push_back(static_cast<uint8_t>(c));
    EXPECT_EQ(linkBytes(cut).status, Status::UnusableImage);
}

}  // namespace
}  // namespace tx
