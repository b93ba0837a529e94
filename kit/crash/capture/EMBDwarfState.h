#pragma once

#include "kit/crash/capture/EMBDwarfRecords.h"

#include <cstdint>

namespace kit {

/// DWARF's x86-64 register numbers: 0 rax, 1 rdx, 2 rcx, 3 rbx, 4 rsi, 5 rdi, 6 rbp, 7 rsp, 8-15 r8-r15,
/// 16 the return address (rip).
inline constexpr std::uint64_t kEMBDwarfRegisterCount { 17 };
inline constexpr std::uint64_t kEMBDwarfRegisterRBP { 6 };
inline constexpr std::uint64_t kEMBDwarfRegisterRSP { 7 };
inline constexpr std::uint64_t kEMBDwarfRegisterRIP { 16 };

/// A thread's registers in DWARF numbering.
struct EMBThreadContext {
    std::uint64_t registers[kEMBDwarfRegisterCount] {};
};

/// How a register of the caller is found.
enum EMBDwarfRuleKind : std::uint32_t {
    /// No rule: the register keeps its value (also DW_CFA_same_value).
    kEMBDwarfRuleNone = 0,
    /// Saved at CFA + value.
    kEMBDwarfRuleOffset = 1,
    /// Is CFA + value.
    kEMBDwarfRuleValOffset = 2,
    /// Is in the register numbered value.
    kEMBDwarfRuleRegister = 3,
    /// Saved at the address the expression at value computes (with the CFA pushed first).
    kEMBDwarfRuleExpression = 4,
    /// Is what the expression at value computes (with the CFA pushed first).
    kEMBDwarfRuleValExpression = 5,
    /// Cannot be recovered; for the return address: this is the outermost frame.
    kEMBDwarfRuleUndefined = 6,
};

struct EMBDwarfRule {
    std::uint32_t kind { kEMBDwarfRuleNone };
    std::int64_t value { 0 };
};

/// One row of the call-frame table: the CFA rule and a rule per register.
struct EMBDwarfState {
    std::uint64_t cfaRegister { 0 };
    std::int64_t cfaOffset { 0 };
    /// Address of the CFA expression (its length first); 0 when the CFA is register + offset.
    std::uint64_t cfaExpression { 0 };
    EMBDwarfRule rules[kEMBDwarfRegisterCount] {};
};

/// Depth of DW_CFA_remember_state's stack.
inline constexpr int kEMBDwarfRememberedStates { 8 };

/// Runs the call-frame instructions at `instructions` (`length` bytes) into `state` up to and including the
/// row that covers `pcOffset` (the PC minus the FDE's PC begin; UINT64_MAX for a CIE's initial
/// instructions). `initial` is the state after the CIE's instructions, for DW_CFA_restore; `pcBegin` turns
/// DW_CFA_set_loc's address into a location. False for any instruction this unwinder does not know.
bool EMBDwarfInstructionsEnumerate(std::uint64_t instructions, std::uint64_t length,
    const EMBDwarfCIERecord* cie, EMBDwarfState* state, std::uint64_t pcOffset, const EMBDwarfState* initial,
    std::uint64_t pcBegin);

}
