// What a CommandDef tells about its parameters beyond the sigils: which words are guest
// addresses and which are handles of what kind, read off the C++ types by the adapter.
#include <gtest/gtest.h>

#include "command.h"

namespace tx {

struct Widget {};

template <>
struct HandleKind<Widget> {
    static constexpr HandleKindInfo info{"Widget", 9, "Widget does not exist"};
    static Widget* find(uint32_t) { return nullptr; }
};

namespace {

GuestPtr<char> pick(int32_t, GuestPtr<uint32_t> cell, float, GuestPtr<void>) {
    return GuestPtr<char>(cell.address() + 1);
}
int32_t plain(int32_t a, uint32_t b) {
    return a + static_cast<int32_t>(b);
}
void widgets(Handle<Widget>, int32_t, Handle<Widget, HandleCheck::Lenient>) {}

TEST(CommandMetadataTest, GuestAddressesAreMarkedByPosition) {
    constexpr CommandDef def = command<pick>("_txPick");
    EXPECT_EQ(def.guestAddresses, 0b10101u) << "the result, parameter 1 and parameter 3";
    EXPECT_EQ(def.handles, nullptr);
    EXPECT_STREQ(def.sigils, "%%%#%");

    constexpr CommandDef none = command<plain>("%Plain%a%b");
    EXPECT_EQ(none.guestAddresses, 0u);
    EXPECT_EQ(none.handles, nullptr);
}

TEST(CommandMetadataTest, HandleParametersNameTheirKindAndCheck) {
    constexpr CommandDef def = command<widgets>("Widgets%a%b%c");
    ASSERT_NE(def.handles, nullptr);
    EXPECT_STREQ(def.handles[0].kind->name, "Widget");
    EXPECT_TRUE(def.handles[0].checked);
    EXPECT_EQ(def.handles[1].kind, nullptr);
    EXPECT_STREQ(def.handles[2].kind->name, "Widget");
    EXPECT_FALSE(def.handles[2].checked);
    EXPECT_EQ(def.guestAddresses, 0u);
}

}  // namespace
}  // namespace tx
