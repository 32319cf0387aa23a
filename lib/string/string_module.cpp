// The string module: registers its eighteen commands. It keeps no state.
#include "string_module.h"
#include "string_commands.h"

namespace tx {
namespace {

constexpr CommandDef kStringCommands[] = {
    command<stringRepeat>("$String$string%repeat"),
    command<stringLeft>("$Left$string%count"),
    command<stringRight>("$Right$string%count"),
    command<stringReplace>("$Replace$string$from$to"),
    command<stringInstr>("%Instr$string$find%from=1"),
    command<stringMid>("$Mid$string%start%count=-1"),
    command<stringUpper>("$Upper$string"),
    command<stringLower>("$Lower$string"),
    command<stringTrim>("$Trim$string"),
    command<stringLSet>("$LSet$string%size"),
    command<stringRSet>("$RSet$string%size"),
    command<stringChr>("$Chr%ascii"),
    command<stringAsc>("%Asc$string"),
    command<stringLen>("%Len$string"),
    command<stringHex>("$Hex%value"),
    command<stringBin>("$Bin%value"),
    command<currentDate>("$CurrentDate"),
    command<currentTime>("$CurrentTime"),
};

}  // namespace

std::span<const CommandDef> stringCommands() {
    return kStringCommands;
}

void linkString(CommandRegistrar& registrar) {
    registrar.add(kStringCommands);
}

bool stringCreate() {
    return true;
}

void stringDestroy() {}

}  // namespace tx
