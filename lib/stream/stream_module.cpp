// The stream module: the generic stream commands and the registry of live streams.
#include <memory>

#include "command.h"
#include "stream_commands.h"
#include "stream_module.h"
#include "stream_registry.h"

namespace tx {
namespace {

constexpr CommandDef kValueCommands[] = {
    command<streamEof>("%Eof%stream"),           command<streamReadAvail>("%ReadAvail%stream"),
    command<readByte>("%ReadByte%stream"),       command<readShort>("%ReadShort%stream"),
    command<readInt>("%ReadInt%stream"),         command<readFloat>("#ReadFloat%stream"),
    command<readString>("$ReadString%stream"),   command<readLine>("$ReadLine%stream"),
    command<writeByte>("WriteByte%stream%byte"), command<writeShort>("WriteShort%stream%short"),
};

constexpr CommandDef kWriteInt = command<writeInt>("WriteInt%stream%int");

constexpr CommandDef kStringCommands[] = {
    command<writeString>("WriteString%stream$string"),
    command<writeLine>("WriteLine%stream$string"),
    command<copyStream>("CopyStream%src_stream%dest_stream%buffer_size=16384"),
};

}  // namespace

void linkStream(CommandRegistrar& registrar) {
    registrar.add(kValueCommands);
    registrar.add(kWriteInt);
    // One routine writes the four bytes of an int or of a float's bit pattern.
    registrar.alias(kWriteInt, "WriteFloat%stream#float");
    registrar.add(kStringCommands);
}

// A fresh registry per run, so every run starts with fresh handles.
bool streamCreate() {
    ModuleState<StreamModule>::open(std::make_unique<StreamModule>());
    return true;
}

// Every stream belongs to a module destroyed before this one, so the registry is empty here.
void streamDestroy() {
    ModuleState<StreamModule>::close();
}

}  // namespace tx
