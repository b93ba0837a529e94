#pragma once

#include "kit/crash/capture/EMBDwarfState.h"

#include <cstddef>
#include <cstdint>
#include <ucontext.h>

namespace kit {

struct EMBFile;

/// The registers a thread record holds, in the record's order.
enum EMBThreadRegister : std::size_t {
    kEMBRegisterRAX,
    kEMBRegisterRBX,
    kEMBRegisterRCX,
    kEMBRegisterRDX,
    kEMBRegisterRDI,
    kEMBRegisterRSI,
    kEMBRegisterRBP,
    kEMBRegisterRSP,
    kEMBRegisterR8,
    kEMBRegisterR9,
    kEMBRegisterR10,
    kEMBRegisterR11,
    kEMBRegisterR12,
    kEMBRegisterR13,
    kEMBRegisterR14,
    kEMBRegisterR15,
    kEMBRegisterRIP,
    kEMBRegisterRFLAGS,
    kEMBRegisterCS,
    kEMBRegisterFS,
    kEMBRegisterGS,
    kEMBThreadRegisterCount,
};

/// A thread's machine registers where it stopped (x86-64).
struct EMBThreadState {
    std::uint64_t registers[kEMBThreadRegisterCount] {};

    std::uint64_t pc() const { return registers[kEMBRegisterRIP]; }
    std::uint64_t stackPointer() const { return registers[kEMBRegisterRSP]; }
    std::uint64_t framePointer() const { return registers[kEMBRegisterRBP]; }
};

/// The record's name of each register ("rax" … "gs").
extern const char* const kEMBThreadRegisterNames[kEMBThreadRegisterCount];

/// The registers of a signal's machine context. Safe in a signal handler.
void EMBThreadStateFromUContext(const ucontext_t* context, EMBThreadState* state);

/// The registers the unwinder works with, in DWARF's numbering.
void EMBThreadStateToDwarfContext(const EMBThreadState* state, EMBThreadContext* context);

/// Writes the "registers" object: every register by name.
bool EMBThreadStateWriteRegisters(EMBFile* file, const EMBThreadState* state);

}
