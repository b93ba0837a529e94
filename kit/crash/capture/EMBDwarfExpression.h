#pragma once

#include "kit/crash/capture/EMBDwarfState.h"

#include <cstdint>

namespace kit {

class EMBMemoryReader;

/// The expression machine's value stack: 100 entries, no heap.
struct EMBDwarfExpressionStack {
    static constexpr int kCapacity { 100 };

    std::uint64_t values[kCapacity] {};
    int count { 0 };
    bool valid { true };
};

void EMBDwarfExpressionStackInit(EMBDwarfExpressionStack* stack);
bool EMBDwarfExpressionStackIsValid(const EMBDwarfExpressionStack* stack);
/// Pushes `value`; on a full stack the stack becomes invalid.
void EMBDwarfExpressionStackPush(EMBDwarfExpressionStack* stack, std::uint64_t value);
/// The value `depth` entries below the top (0: the top); on too shallow a stack it becomes invalid.
std::uint64_t EMBDwarfExpressionStackPeek(EMBDwarfExpressionStack* stack, int depth = 0);
/// Takes the top value; on an empty stack the stack becomes invalid.
std::uint64_t EMBDwarfExpressionStackPop(EMBDwarfExpressionStack* stack);

/// Evaluates one DWARF expression (DW_OP_*) against a thread's registers and memory.
struct EMBDwarfExpressionMachine {
    /// Most operations one evaluation may run, so that a branch back cannot loop for ever.
    static constexpr int kStepLimit { 10000 };

    EMBDwarfExpressionStack stack;
    std::uint64_t start { 0 };
    std::uint64_t position { 0 };
    std::uint64_t end { 0 };
    const EMBThreadContext* context { nullptr };
    const EMBMemoryReader* reader { nullptr };
    int steps { 0 };
};

/// Sets up the machine for the length-prefixed expression at `expression` (the length must not be 0).
bool EMBDwarfExpressionMachineInit(EMBDwarfExpressionMachine* machine, std::uint64_t expression,
    const EMBThreadContext* context, const EMBMemoryReader* reader);
/// Pushes the initial value.
bool EMBDwarfExpressionMachinePrepareForExecution(
    EMBDwarfExpressionMachine* machine, std::uint64_t initialValue);
/// Whether the machine reached the end of the expression or failed.
bool EMBDwarfExpressionMachineIsFinished(const EMBDwarfExpressionMachine* machine);
/// Runs one operation; false on an unknown operation, a bad stack, a failed read or a jump outside.
bool EMBDwarfExpressionMachineExecuteNextOpcode(EMBDwarfExpressionMachine* machine);
/// The top of the stack.
bool EMBDwarfExpressionMachineGetResult(EMBDwarfExpressionMachine* machine, std::uint64_t* result);

/// Evaluates the expression at `expression` with `initialValue` pushed first (a register rule's, which
/// starts from the CFA) or, when `pushInitialValue` is false, on an empty stack (the CFA's own).
bool EMBDwarfEvalulateExpression(std::uint64_t expression, const EMBThreadContext* context,
    const EMBMemoryReader* reader, std::uint64_t initialValue, std::uint64_t* result,
    bool pushInitialValue = true);

}
