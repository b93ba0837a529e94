#include "kit/crash/capture/EMBDwarfExpression.h"

#include "kit/crash/capture/EMBMemoryReader.h"
#include "kit/crash/capture/EMBSDKLog.h"

namespace kit {
namespace {

enum : std::uint8_t {
    DW_OP_addr = 0x03,
    DW_OP_deref = 0x06,
    DW_OP_const1u = 0x08,
    DW_OP_const1s = 0x09,
    DW_OP_const2u = 0x0a,
    DW_OP_const2s = 0x0b,
    DW_OP_const4u = 0x0c,
    DW_OP_const4s = 0x0d,
    DW_OP_const8u = 0x0e,
    DW_OP_const8s = 0x0f,
    DW_OP_constu = 0x10,
    DW_OP_consts = 0x11,
    DW_OP_dup = 0x12,
    DW_OP_drop = 0x13,
    DW_OP_over = 0x14,
    DW_OP_pick = 0x15,
    DW_OP_swap = 0x16,
    DW_OP_rot = 0x17,
    DW_OP_abs = 0x19,
    DW_OP_and = 0x1a,
    DW_OP_div = 0x1b,
    DW_OP_minus = 0x1c,
    DW_OP_mod = 0x1d,
    DW_OP_mul = 0x1e,
    DW_OP_neg = 0x1f,
    DW_OP_not = 0x20,
    DW_OP_or = 0x21,
    DW_OP_plus = 0x22,
    DW_OP_plus_uconst = 0x23,
    DW_OP_shl = 0x24,
    DW_OP_shr = 0x25,
    DW_OP_shra = 0x26,
    DW_OP_xor = 0x27,
    DW_OP_bra = 0x28,
    DW_OP_eq = 0x29,
    DW_OP_ge = 0x2a,
    DW_OP_gt = 0x2b,
    DW_OP_le = 0x2c,
    DW_OP_lt = 0x2d,
    DW_OP_ne = 0x2e,
    DW_OP_skip = 0x2f,
    DW_OP_lit0 = 0x30,
    DW_OP_lit31 = 0x4f,
    DW_OP_breg0 = 0x70,
    DW_OP_breg31 = 0x8f,
    DW_OP_bregx = 0x92,
    DW_OP_deref_size = 0x94,
    DW_OP_nop = 0x96,
};

EMBDwarfCursor cursorAt(const EMBDwarfExpressionMachine* machine)
{
    return EMBDwarfCursor { machine->position, machine->end };
}

bool push(EMBDwarfExpressionMachine* machine, std::uint64_t value)
{
    EMBDwarfExpressionStackPush(&machine->stack, value);
    return machine->stack.valid;
}

bool binary(EMBDwarfExpressionMachine* machine, std::uint8_t opcode)
{
    std::uint64_t b = EMBDwarfExpressionStackPop(&machine->stack);
    std::uint64_t a = EMBDwarfExpressionStackPop(&machine->stack);
    if (!machine->stack.valid)
        return false;
    auto sa = std::int64_t(a);
    auto sb = std::int64_t(b);
    std::uint64_t result = 0;
    switch (opcode) {
    case DW_OP_and:
        result = a & b;
        break;
    case DW_OP_or:
        result = a | b;
        break;
    case DW_OP_xor:
        result = a ^ b;
        break;
    case DW_OP_plus:
        result = a + b;
        break;
    case DW_OP_minus:
        result = a - b;
        break;
    case DW_OP_mul:
        result = a * b;
        break;
    case DW_OP_div:
        if (b == 0 || (sa == INT64_MIN && sb == -1))
            return false;
        result = std::uint64_t(sa / sb);
        break;
    case DW_OP_mod:
        if (b == 0)
            return false;
        result = a % b;
        break;
    case DW_OP_shl:
        result = b >= 64 ? 0 : a << b;
        break;
    case DW_OP_shr:
        result = b >= 64 ? 0 : a >> b;
        break;
    case DW_OP_shra:
        result = std::uint64_t(b >= 64 ? (sa < 0 ? -1 : 0) : sa >> b);
        break;
    case DW_OP_eq:
        result = sa == sb;
        break;
    case DW_OP_ge:
        result = sa >= sb;
        break;
    case DW_OP_gt:
        result = sa > sb;
        break;
    case DW_OP_le:
        result = sa <= sb;
        break;
    case DW_OP_lt:
        result = sa < sb;
        break;
    case DW_OP_ne:
        result = sa != sb;
        break;
    default:
        return false;
    }
    return push(machine, result);
}

bool readRegister(const EMBDwarfExpressionMachine* machine, std::uint64_t reg, std::uint64_t* value)
{
    if (reg >= kEMBDwarfRegisterCount || machine->context == nullptr) {
        EMBSDKFileLog("%s: Error: DW_OP_breg invalid register number\n", __func__);
        return false;
    }
    *value = machine->context->registers[reg];
    return true;
}

bool dereference(EMBDwarfExpressionMachine* machine, std::uint64_t size)
{
    if (size != 1 && size != 2 && size != 4 && size != 8) {
        EMBSDKFileLog("%s: Error: unrecognized DW_OP_deref_size argument %lx\n", __func__, size);
        return false;
    }
    std::uint64_t address = EMBDwarfExpressionStackPop(&machine->stack);
    std::uint64_t value = 0;
    if (!machine->stack.valid || machine->reader == nullptr
        || !machine->reader->read(address, &value, size)) {
        EMBSDKFileLog("%s: Error: DW_OP_deref failed to read memory\n", __func__);
        return false;
    }
    return push(machine, value);
}

bool jump(EMBDwarfExpressionMachine* machine, EMBDwarfCursor& cursor, std::int16_t offset)
{
    std::uint64_t target = cursor.position + std::uint64_t(std::int64_t(offset));
    if (target < machine->start || target > machine->end)
        return false;
    cursor.position = target;
    return true;
}

}

void EMBDwarfExpressionStackInit(EMBDwarfExpressionStack* stack)
{
    stack->count = 0;
    stack->valid = true;
}

bool EMBDwarfExpressionStackIsValid(const EMBDwarfExpressionStack* stack)
{
    return stack->valid && stack->count >= 0 && stack->count <= EMBDwarfExpressionStack::kCapacity;
}

void EMBDwarfExpressionStackPush(EMBDwarfExpressionStack* stack, std::uint64_t value)
{
    if (!EMBDwarfExpressionStackIsValid(stack) || stack->count == EMBDwarfExpressionStack::kCapacity) {
        stack->valid = false;
        return;
    }
    stack->values[stack->count++] = value;
}

std::uint64_t EMBDwarfExpressionStackPeek(EMBDwarfExpressionStack* stack, int depth)
{
    if (!EMBDwarfExpressionStackIsValid(stack) || depth < 0 || depth >= stack->count) {
        stack->valid = false;
        return 0;
    }
    return stack->values[stack->count - 1 - depth];
}

std::uint64_t EMBDwarfExpressionStackPop(EMBDwarfExpressionStack* stack)
{
    std::uint64_t value = EMBDwarfExpressionStackPeek(stack);
    if (stack->valid)
        --stack->count;
    return value;
}

bool EMBDwarfExpressionMachineInit(EMBDwarfExpressionMachine* machine, std::uint64_t expression,
    const EMBThreadContext* context, const EMBMemoryReader* reader)
{
    EMBDwarfCursor cursor { expression, expression + 10 };
    std::uint64_t length = EMBParseULEB128AndAdvance(&cursor);
    if (!cursor.valid || length == 0 || cursor.position + length < cursor.position) {
        EMBSDKFileLog("%s: Error: DWARF expression length is zero\n", __func__);
        return false;
    }
    EMBDwarfExpressionStackInit(&machine->stack);
    machine->start = cursor.position;
    machine->position = cursor.position;
    machine->end = cursor.position + length;
    machine->context = context;
    machine->reader = reader;
    machine->steps = 0;
    return true;
}

bool EMBDwarfExpressionMachinePrepareForExecution(
    EMBDwarfExpressionMachine* machine, std::uint64_t initialValue)
{
    return push(machine, initialValue);
}

bool EMBDwarfExpressionMachineIsFinished(const EMBDwarfExpressionMachine* machine)
{
    return !EMBDwarfExpressionStackIsValid(&machine->stack) || machine->position >= machine->end;
}

bool EMBDwarfExpressionMachineExecuteNextOpcode(EMBDwarfExpressionMachine* machine)
{
    if (!EMBDwarfExpressionStackIsValid(&machine->stack)) {
        EMBSDKFileLog("%s: Error: DWARF machine stack invalid\n", __func__);
        return false;
    }
    if (machine->position < machine->start || machine->position >= machine->end
        || ++machine->steps > EMBDwarfExpressionMachine::kStepLimit) {
        EMBSDKFileLog("%s: Error: DWARF machine pointers invalid\n", __func__);
        return false;
    }
    EMBDwarfCursor cursor = cursorAt(machine);
    std::uint8_t opcode = EMBParseUint8AndAdvance(&cursor);
    bool ok = true;
    auto* stack = &machine->stack;
    if (opcode >= DW_OP_lit0 && opcode <= DW_OP_lit31) {
        ok = push(machine, opcode - DW_OP_lit0);
    } else if (opcode >= DW_OP_breg0 && opcode <= DW_OP_breg31) {
        std::uint64_t value = 0;
        std::int64_t offset = EMBParseLEB128AndAdvance(&cursor);
        ok = readRegister(machine, opcode - DW_OP_breg0, &value)
            && push(machine, value + std::uint64_t(offset));
    } else {
        switch (opcode) {
        case DW_OP_addr:
        case DW_OP_const8u:
        case DW_OP_const8s:
            ok = push(machine, EMBParseUint64AndAdvance(&cursor));
            break;
        case DW_OP_const1u:
            ok = push(machine, EMBParseUint8AndAdvance(&cursor));
            break;
        case DW_OP_const1s:
            ok = push(machine, std::uint64_t(std::int64_t(std::int8_t(EMBParseUint8AndAdvance(&cursor)))));
            break;
        case DW_OP_const2u:
            ok = push(machine, EMBParseUint16AndAdvance(&cursor));
            break;
        case DW_OP_const2s:
            ok = push(machine, std::uint64_t(std::int64_t(EMBParseInt16AndAdvance(&cursor))));
            break;
        case DW_OP_const4u:
            ok = push(machine, EMBParseUint32AndAdvance(&cursor));
            break;
        case DW_OP_const4s:
            ok = push(machine, std::uint64_t(std::int64_t(EMBParseInt32AndAdvance(&cursor))));
            break;
        case DW_OP_constu:
            ok = push(machine, EMBParseULEB128AndAdvance(&cursor));
            break;
        case DW_OP_consts:
            ok = push(machine, std::uint64_t(EMBParseLEB128AndAdvance(&cursor)));
            break;
        case DW_OP_deref:
            ok = dereference(machine, 8);
            break;
        case DW_OP_deref_size:
            ok = dereference(machine, EMBParseUint8AndAdvance(&cursor));
            break;
        case DW_OP_dup:
            ok = push(machine, EMBDwarfExpressionStackPeek(stack));
            break;
        case DW_OP_drop:
            EMBDwarfExpressionStackPop(stack);
            break;
        case DW_OP_over:
            ok = push(machine, EMBDwarfExpressionStackPeek(stack, 1));
            break;
        case DW_OP_pick:
            ok = push(machine, EMBDwarfExpressionStackPeek(stack, EMBParseUint8AndAdvance(&cursor)));
            break;
        case DW_OP_swap: {
            std::uint64_t top = EMBDwarfExpressionStackPop(stack);
            std::uint64_t below = EMBDwarfExpressionStackPop(stack);
            ok = stack->valid && push(machine, top) && push(machine, below);
            break;
        }
        case DW_OP_rot: {
            std::uint64_t first = EMBDwarfExpressionStackPop(stack);
            std::uint64_t second = EMBDwarfExpressionStackPop(stack);
            std::uint64_t third = EMBDwarfExpressionStackPop(stack);
            ok = stack->valid && push(machine, first) && push(machine, third) && push(machine, second);
            break;
        }
        case DW_OP_abs: {
            auto value = std::int64_t(EMBDwarfExpressionStackPop(stack));
            ok = stack->valid && push(machine, value < 0 ? 0 - std::uint64_t(value) : std::uint64_t(value));
            break;
        }
        case DW_OP_neg: {
            std::uint64_t value = EMBDwarfExpressionStackPop(stack);
            ok = stack->valid && push(machine, 0 - value);
            break;
        }
        case DW_OP_not: {
            std::uint64_t value = EMBDwarfExpressionStackPop(stack);
            ok = stack->valid && push(machine, ~value);
            break;
        }
        case DW_OP_plus_uconst: {
            std::uint64_t value = EMBDwarfExpressionStackPop(stack);
            ok = stack->valid && push(machine, value + EMBParseULEB128AndAdvance(&cursor));
            break;
        }
        case DW_OP_and:
        case DW_OP_div:
        case DW_OP_minus:
        case DW_OP_mod:
        case DW_OP_mul:
        case DW_OP_or:
        case DW_OP_plus:
        case DW_OP_shl:
        case DW_OP_shr:
        case DW_OP_shra:
        case DW_OP_xor:
        case DW_OP_eq:
        case DW_OP_ge:
        case DW_OP_gt:
        case DW_OP_le:
        case DW_OP_lt:
        case DW_OP_ne:
            ok = binary(machine, opcode);
            break;
        case DW_OP_skip:
            ok = jump(machine, cursor, EMBParseInt16AndAdvance(&cursor));
            break;
        case DW_OP_bra: {
            std::int16_t offset = EMBParseInt16AndAdvance(&cursor);
            std::uint64_t condition = EMBDwarfExpressionStackPop(stack);
            ok = stack->valid && (condition == 0 || jump(machine, cursor, offset));
            break;
        }
        case DW_OP_bregx: {
            std::uint64_t reg = EMBParseULEB128AndAdvance(&cursor);
            std::int64_t offset = EMBParseLEB128AndAdvance(&cursor);
            std::uint64_t value = 0;
            ok = readRegister(machine, reg, &value) && push(machine, value + std::uint64_t(offset));
            break;
        }
        case DW_OP_nop:
            break;
        default:
            EMBSDKFileLog("%s: Error: Unrecognized DWARF expression opcode 0x%x\n", __func__, opcode);
            return false;
        }
    }
    machine->position = cursor.position;
    return ok && cursor.valid && stack->valid;
}

bool EMBDwarfExpressionMachineGetResult(EMBDwarfExpressionMachine* machine, std::uint64_t* result)
{
    std::uint64_t top = EMBDwarfExpressionStackPeek(&machine->stack);
    if (!machine->stack.valid)
        return false;
    *result = top;
    return true;
}

bool EMBDwarfEvalulateExpression(std::uint64_t expression, const EMBThreadContext* context,
    const EMBMemoryReader* reader, std::uint64_t initialValue, std::uint64_t* result, bool pushInitialValue)
{
    EMBDwarfExpressionMachine machine;
    if (!EMBDwarfExpressionMachineInit(&machine, expression, context, reader)) {
        EMBSDKFileLog("%s: Error: unable to init DWARF expression machine\n", __func__);
        return false;
    }
    if (pushInitialValue && !EMBDwarfExpressionMachinePrepareForExecution(&machine, initialValue)) {
        EMBSDKFileLog("%s: Error: unable to prepare for execution\n", __func__);
        return false;
    }
    while (!EMBDwarfExpressionMachineIsFinished(&machine)) {
        if (!EMBDwarfExpressionMachineExecuteNextOpcode(&machine)) {
            EMBSDKFileLog("%s: Error: failed to execute DWARF machine opcode\n", __func__);
            return false;
        }
    }
    if (!EMBDwarfExpressionMachineGetResult(&machine, result)) {
        EMBSDKFileLog("%s: Error: failed to get DWARF expression result\n", __func__);
        return false;
    }
    return true;
}

}
