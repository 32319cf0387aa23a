#include "object_text.h"

#include <bit>
#include <string>

#include "basic_module.h"
#include "guest_machine.h"
#include "number_text.h"
#include "object_space.h"

namespace tx {
namespace {

constexpr int32_t kMaxDepth = 8;
// A debugging text longer than this is not one anybody reads; wide types nested eight deep
// could otherwise build texts of any size.
constexpr size_t kMaxTextBytes = 16u << 20;

// Depth +1 for one level, the object as root when there is none; both restored on the way out,
// also when an error unwinds through the level.
class Level {
public:
    Level(BasicModule& state, GuestAddr o) : state_(state), previousRoot_(state.textRoot) {
        ++state_.textDepth;
        if (state_.textRoot == 0) state_.textRoot = o;
    }
    ~Level() {
        --state_.textDepth;
        state_.textRoot = previousRoot_;
    }
    Level(const Level&) = delete;
    Level& operator=(const Level&) = delete;

private:
    BasicModule& state_;
    GuestAddr previousRoot_;
};

void appendObject(ObjectSpace& s, GuestAddr o, std::string& out) {
    if (o == 0 || !s.isLive(o)) {
        out += "[NULL]";
        return;
    }
    BasicModule& state = s.state();
    if (o == state.textRoot) {
        out += "[ROOT]";
        return;
    }
    if (state.textDepth == kMaxDepth) {
        out += "....";
        return;
    }
    const Level level(state, o);
    const ObjectSpace::Fields f = s.typeFields(s.type(o), "Illegal memory address");
    const GuestAddr cells = s.fields(o);
    out += '[';
    for (uint32_t i = 0; i < f.count; ++i) {
        if (i != 0) out += ',';
        const uint32_t value = s.word(cells + 4 * i);
        switch (s.fieldTag(f, i)) {
            case kTagInt:
                out += formatInt(static_cast<int32_t>(value));
                break;
            case kTagFloat:
                out += formatFloat(std::bit_cast<float>(value));
                break;
            case kTagString:
                out += '"';
                out += strText(value);
                out += '"';
                break;
            case kTagObject:
                appendObject(s, value, out);
                break;
            default:
                out += "???";
                break;
        }
        if (out.size() > kMaxTextBytes) runtimeError("Out of string memory");
    }
    out += ']';
}

}  // namespace

Str txObjToStr(GuestMachine& machine, GuestPtr<GuestObject> object) {
    ObjectSpace s(machine.memory(), basicState());
    std::string text;
    appendObject(s, object.address(), text);
    return strNew(text);
}

}  // namespace tx
