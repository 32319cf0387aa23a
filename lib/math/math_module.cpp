// The math module: registers its sixteen commands; creating it resets the random generator, so a
// program that never seeds it sees the same sequence on every run.
#include <memory>

#include "math_commands.h"
#include "math_module.h"
#include "module_state.h"

namespace tx {
namespace {

constexpr CommandDef kMathCommands[] = {
    command<mathSin>("#Sin#degrees"),
    command<mathCos>("#Cos#degrees"),
    command<mathTan>("#Tan#degrees"),
    command<mathASin>("#ASin#float"),
    command<mathACos>("#ACos#float"),
    command<mathATan>("#ATan#float"),
    command<mathATan2>("#ATan2#floata#floatb"),
    command<mathSqr>("#Sqr#float"),
    command<mathFloor>("#Floor#float"),
    command<mathCeil>("#Ceil#float"),
    command<mathExp>("#Exp#float"),
    command<mathLog>("#Log#float"),
    command<mathLog10>("#Log10#float"),
    command<mathRnd>("#Rnd#from#to=0"),
    command<mathRand>("%Rand%from%to=1"),
    command<mathSeedRnd>("SeedRnd%seed"),
};

}  // namespace

std::span<const CommandDef> mathCommands() {
    return kMathCommands;
}

void linkMath(CommandRegistrar& registrar) {
    registrar.add(kMathCommands);
}

bool mathCreate() {
    ModuleState<MathModule>::open(std::make_unique<MathModule>());
    return true;
}

void mathDestroy() {
    ModuleState<MathModule>::close();
}

}  // namespace tx
