#include "kit/crash/capture/EMBThreadState.h"

#include "kit/crash/capture/EMBFile.h"

namespace kit {

const char* const kEMBThreadRegisterNames[kEMBThreadRegisterCount] { "rax", "rbx", "rcx", "rdx", "rdi", "rsi",
    "rbp", "rsp", "r8", "r9", "r10", "r11", "r12", "r13", "r14", "r15", "rip", "rflags", "cs", "fs", "gs" };

void EMBThreadStateFromUContext(const ucontext_t* context, EMBThreadState* state)
{
    const greg_t* gregs = context->uc_mcontext.gregs;
    static constexpr int kGeneral[] { REG_RAX, REG_RBX, REG_RCX, REG_RDX, REG_RDI, REG_RSI, REG_RBP, REG_RSP,
        REG_R8, REG_R9, REG_R10, REG_R11, REG_R12, REG_R13, REG_R14, REG_R15, REG_RIP, REG_EFL };
    for (std::size_t i = 0; i < sizeof kGeneral / sizeof kGeneral[0]; ++i)
        state->registers[i] = std::uint64_t(gregs[kGeneral[i]]);
    // cs, gs and fs share one word, 16 bits each from the bottom.
    auto segments = std::uint64_t(gregs[REG_CSGSFS]);
    state->registers[kEMBRegisterCS] = segments & 0xffff;
    state->registers[kEMBRegisterGS] = (segments >> 16) & 0xffff;
    state->registers[kEMBRegisterFS] = (segments >> 32) & 0xffff;
}

void EMBThreadStateToDwarfContext(const EMBThreadState* state, EMBThreadContext* context)
{
    // DWARF's order: rax, rdx, rcx, rbx, rsi, rdi, rbp, rsp, r8-r15, rip.
    static constexpr EMBThreadRegister kDwarfOrder[kEMBDwarfRegisterCount] { kEMBRegisterRAX, kEMBRegisterRDX,
        kEMBRegisterRCX, kEMBRegisterRBX, kEMBRegisterRSI, kEMBRegisterRDI, kEMBRegisterRBP, kEMBRegisterRSP,
        kEMBRegisterR8, kEMBRegisterR9, kEMBRegisterR10, kEMBRegisterR11, kEMBRegisterR12, kEMBRegisterR13,
        kEMBRegisterR14, kEMBRegisterR15, kEMBRegisterRIP };
    for (std::uint64_t reg = 0; reg < kEMBDwarfRegisterCount; ++reg)
        context->registers[reg] = state->registers[kDwarfOrder[reg]];
}

bool EMBThreadStateWriteRegisters(EMBFile* file, const EMBThreadState* state)
{
    bool ok = EMBFileWriteHashKey(file, "registers") && EMBFileWriteHashStart(file);
    for (std::size_t i = 0; ok && i < kEMBThreadRegisterCount; ++i)
        ok = EMBFileWriteHashEntryUint64(file, kEMBThreadRegisterNames[i], state->registers[i]);
    return ok && EMBFileWriteHashEnd(file);
}

}
