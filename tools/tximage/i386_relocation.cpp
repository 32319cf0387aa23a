#include "i386_relocation.h"

#include <elf.h>

#include <array>
#include <utility>

namespace tximage {

FixupKind fixupKindOf(uint32_t relocationType) {
    switch (relocationType) {
        case R_386_NONE:
            return FixupKind::None;
        case R_386_32:
            return FixupKind::Absolute;
        // A call through the PLT is a plain relative call once nothing is shared.
        case R_386_PC32:
        case R_386_PLT32:
            return FixupKind::Relative;
        default:
            return FixupKind::Unsupported;
    }
}

std::string relocationTypeName(uint32_t relocationType) {
    static constexpr std::array<std::pair<uint32_t, const char*>, 42> kNames{{
        {R_386_NONE, "R_386_NONE"},
        {R_386_32, "R_386_32"},
        {R_386_PC32, "R_386_PC32"},
        {R_386_GOT32, "R_386_GOT32"},
        {R_386_PLT32, "R_386_PLT32"},
        {R_386_COPY, "R_386_COPY"},
        {R_386_GLOB_DAT, "R_386_GLOB_DAT"},
        {R_386_JMP_SLOT, "R_386_JMP_SLOT"},
        {R_386_RELATIVE, "R_386_RELATIVE"},
        {R_386_GOTOFF, "R_386_GOTOFF"},
        {R_386_GOTPC, "R_386_GOTPC"},
        {R_386_32PLT, "R_386_32PLT"},
        {R_386_TLS_TPOFF, "R_386_TLS_TPOFF"},
        {R_386_TLS_IE, "R_386_TLS_IE"},
        {R_386_TLS_GOTIE, "R_386_TLS_GOTIE"},
        {R_386_TLS_LE, "R_386_TLS_LE"},
        {R_386_TLS_GD, "R_386_TLS_GD"},
        {R_386_TLS_LDM, "R_386_TLS_LDM"},
        {R_386_16, "R_386_16"},
        {R_386_PC16, "R_386_PC16"},
        {R_386_8, "R_386_8"},
        {R_386_PC8, "R_386_PC8"},
        {R_386_TLS_GD_32, "R_386_TLS_GD_32"},
        {R_386_TLS_GD_PUSH, "R_386_TLS_GD_PUSH"},
        {R_386_TLS_GD_CALL, "R_386_TLS_GD_CALL"},
        {R_386_TLS_GD_POP, "R_386_TLS_GD_POP"},
        {R_386_TLS_LDM_32, "R_386_TLS_LDM_32"},
        {R_386_TLS_LDM_PUSH, "R_386_TLS_LDM_PUSH"},
        {R_386_TLS_LDM_CALL, "R_386_TLS_LDM_CALL"},
        {R_386_TLS_LDM_POP, "R_386_TLS_LDM_POP"},
        {R_386_TLS_LDO_32, "R_386_TLS_LDO_32"},
        {R_386_TLS_IE_32, "R_386_TLS_IE_32"},
        {R_386_TLS_LE_32, "R_386_TLS_LE_32"},
        {R_386_TLS_DTPMOD32, "R_386_TLS_DTPMOD32"},
        {R_386_TLS_DTPOFF32, "R_386_TLS_DTPOFF32"},
        {R_386_TLS_TPOFF32, "R_386_TLS_TPOFF32"},
        {R_386_SIZE32, "R_386_SIZE32"},
        {R_386_TLS_GOTDESC, "R_386_TLS_GOTDESC"},
        {R_386_TLS_DESC_CALL, "R_386_TLS_DESC_CALL"},
        {R_386_TLS_DESC, "R_386_TLS_DESC"},
        {R_386_IRELATIVE, "R_386_IRELATIVE"},
        {R_386_GOT32X, "R_386_GOT32X"},
    }};
    for (const auto& [type, name] : kNames) {
        if (type == relocationType) return name;
    }
    return "relocation type " + std::to_string(relocationType);
}

}  // namespace tximage
