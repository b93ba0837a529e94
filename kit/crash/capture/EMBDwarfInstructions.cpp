#include "kit/crash/capture/EMBDwarfState.h"

#include "kit/crash/capture/EMBSDKLog.h"

#include <cstring>
#include <type_traits>

namespace kit {
namespace {

static_assert(std::is_trivially_copyable_v<EMBDwarfState>);

enum : std::uint8_t {
    DW_CFA_nop = 0x00,
    DW_CFA_set_loc = 0x01,
    DW_CFA_advance_loc1 = 0x02,
    DW_CFA_advance_loc2 = 0x03,
    DW_CFA_advance_loc4 = 0x04,
    DW_CFA_offset_extended = 0x05,
    DW_CFA_restore_extended = 0x06,
    DW_CFA_undefined = 0x07,
    DW_CFA_same_value = 0x08,
    DW_CFA_register = 0x09,
    DW_CFA_remember_state = 0x0a,
    DW_CFA_restore_state = 0x0b,
    DW_CFA_def_cfa = 0x0c,
    DW_CFA_def_cfa_register = 0x0d,
    DW_CFA_def_cfa_offset = 0x0e,
    DW_CFA_def_cfa_expression = 0x0f,
    DW_CFA_expression = 0x10,
    DW_CFA_offset_extended_sf = 0x11,
    DW_CFA_def_cfa_sf = 0x12,
    DW_CFA_def_cfa_offset_sf = 0x13,
    DW_CFA_val_offset = 0x14,
    DW_CFA_val_offset_sf = 0x15,
    DW_CFA_val_expression = 0x16,
    DW_CFA_GNU_args_size = 0x2e,
    DW_CFA_GNU_negative_offset_extended = 0x2f,
    DW_CFA_advance_loc = 0x40,
    DW_CFA_offset = 0x80,
    DW_CFA_restore = 0xc0,
};

// The instructions' interpreter: one object per run, all on the stack.
class Interpreter {
public:
    Interpreter(EMBDwarfCursor cursor, const EMBDwarfCIERecord* cie, EMBDwarfState* state,
        const EMBDwarfState* initial, std::uint64_t pcBegin)
        : m_cursor(cursor)
        , m_cie(cie)
        , m_state(state)
        , m_initial(initial)
        , m_pcBegin(pcBegin)
    {
    }

    bool run(std::uint64_t pcOffset)
    {
        while (m_cursor.position < m_cursor.end) {
            std::uint8_t opcode = EMBParseUint8AndAdvance(&m_cursor);
            std::uint64_t location = m_location;
            if (!step(opcode)) {
                EMBSDKFileLog("%s: Error: Failed to execute dwarf instruction 0x%x\n", __func__, opcode);
                return false;
            }
            // A row that starts after the PC is not the PC's: stop before it.
            if (m_location > pcOffset) {
                m_location = location;
                return true;
            }
        }
        return m_cursor.valid;
    }

private:
    bool step(std::uint8_t opcode)
    {
        switch (opcode & 0xc0) {
        case DW_CFA_advance_loc:
            return advance(opcode & 0x3f);
        case DW_CFA_offset:
            return setRule(opcode & 0x3f, kEMBDwarfRuleOffset, factored(uleb()));
        case DW_CFA_restore:
            return restore(opcode & 0x3f);
        default:
            break;
        }
        switch (opcode) {
        case DW_CFA_nop:
            return true;
        case DW_CFA_set_loc: {
            std::uint64_t address = EMBParseAddressWithEncodingAndAdvance(&m_cursor, m_cie->pointerEncoding);
            if (address == kEMBDwarfInvalidAddress || address < m_pcBegin || m_pcBegin == 0)
                return false;
            m_location = address - m_pcBegin;
            return m_cursor.valid;
        }
        case DW_CFA_advance_loc1:
            return advance(EMBParseUint8AndAdvance(&m_cursor));
        case DW_CFA_advance_loc2:
            return advance(EMBParseUint16AndAdvance(&m_cursor));
        case DW_CFA_advance_loc4:
            return advance(EMBParseUint32AndAdvance(&m_cursor));
        case DW_CFA_offset_extended: {
            std::uint64_t reg = uleb();
            return setRule(reg, kEMBDwarfRuleOffset, factored(uleb()));
        }
        case DW_CFA_offset_extended_sf: {
            std::uint64_t reg = uleb();
            return setRule(reg, kEMBDwarfRuleOffset, factored(sleb()));
        }
        case DW_CFA_GNU_negative_offset_extended: {
            std::uint64_t reg = uleb();
            return setRule(reg, kEMBDwarfRuleOffset, std::int64_t(0 - std::uint64_t(factored(uleb()))));
        }
        case DW_CFA_val_offset: {
            std::uint64_t reg = uleb();
            return setRule(reg, kEMBDwarfRuleValOffset, factored(uleb()));
        }
        case DW_CFA_val_offset_sf: {
            std::uint64_t reg = uleb();
            return setRule(reg, kEMBDwarfRuleValOffset, factored(sleb()));
        }
        case DW_CFA_restore_extended:
            return restore(uleb());
        case DW_CFA_undefined:
            return setRule(uleb(), kEMBDwarfRuleUndefined, 0);
        case DW_CFA_same_value:
            return setRule(uleb(), kEMBDwarfRuleNone, 0);
        case DW_CFA_register: {
            std::uint64_t reg = uleb();
            std::uint64_t other = uleb();
            return other < kEMBDwarfRegisterCount && setRule(reg, kEMBDwarfRuleRegister, std::int64_t(other));
        }
        case DW_CFA_remember_state:
            if (m_depth == kEMBDwarfRememberedStates)
                return false;
            std::memcpy(
                m_remembered + sizeof(EMBDwarfState) * std::size_t(m_depth++), m_state, sizeof *m_state);
            return true;
        case DW_CFA_restore_state:
            // The remembered row holds the CFA rule as well as the registers', as the toolchains expect.
            if (m_depth == 0)
                return false;
            std::memcpy(
                m_state, m_remembered + sizeof(EMBDwarfState) * std::size_t(--m_depth), sizeof *m_state);
            return true;
        case DW_CFA_def_cfa:
            m_state->cfaRegister = uleb();
            m_state->cfaOffset = std::int64_t(uleb());
            m_state->cfaExpression = 0;
            return m_state->cfaRegister < kEMBDwarfRegisterCount && m_cursor.valid;
        case DW_CFA_def_cfa_sf:
            m_state->cfaRegister = uleb();
            m_state->cfaOffset = factored(sleb());
            m_state->cfaExpression = 0;
            return m_state->cfaRegister < kEMBDwarfRegisterCount && m_cursor.valid;
        case DW_CFA_def_cfa_register:
            m_state->cfaRegister = uleb();
            m_state->cfaExpression = 0;
            return m_state->cfaRegister < kEMBDwarfRegisterCount && m_cursor.valid;
        case DW_CFA_def_cfa_offset:
            m_state->cfaOffset = std::int64_t(uleb());
            return m_state->cfaExpression == 0 && m_cursor.valid;
        case DW_CFA_def_cfa_offset_sf:
            m_state->cfaOffset = factored(sleb());
            return m_state->cfaExpression == 0 && m_cursor.valid;
        case DW_CFA_def_cfa_expression:
            m_state->cfaExpression = m_cursor.position;
            return skipBlock() && m_state->cfaExpression != 0;
        case DW_CFA_expression:
        case DW_CFA_val_expression: {
            std::uint64_t reg = uleb();
            std::int64_t block = std::int64_t(m_cursor.position);
            auto kind = opcode == DW_CFA_expression ? kEMBDwarfRuleExpression : kEMBDwarfRuleValExpression;
            return skipBlock() && setRule(reg, kind, block);
        }
        case DW_CFA_GNU_args_size:
            uleb();
            return m_cursor.valid;
        default:
            EMBSDKFileLog("%s: Error: Unrecognized DWARF instruction 0x%x\n", __func__, opcode);
            return false;
        }
    }

    std::uint64_t uleb() { return EMBParseULEB128AndAdvance(&m_cursor); }
    std::int64_t sleb() { return EMBParseLEB128AndAdvance(&m_cursor); }
    // Factored offsets wrap as the address arithmetic they feed does, rather than overflow.
    std::int64_t factored(std::uint64_t value) const
    {
        return std::int64_t(value * std::uint64_t(m_cie->dataAlignmentFactor));
    }
    std::int64_t factored(std::int64_t value) const { return factored(std::uint64_t(value)); }

    bool advance(std::uint64_t delta)
    {
        m_location += delta * m_cie->codeAlignmentFactor;
        return m_cursor.valid;
    }

    bool setRule(std::uint64_t reg, std::uint32_t kind, std::int64_t value)
    {
        if (!m_cursor.valid)
            return false;
        if (reg >= kEMBDwarfRegisterCount) {
            EMBSDKFileLog("%s: Error: invalid register number %lu\n", __func__, reg);
            return false;
        }
        m_state->rules[reg] = { kind, value };
        return true;
    }

    bool restore(std::uint64_t reg)
    {
        if (!m_cursor.valid || reg >= kEMBDwarfRegisterCount)
            return false;
        m_state->rules[reg] = m_initial != nullptr ? m_initial->rules[reg] : EMBDwarfRule {};
        return true;
    }

    // Skips a length-prefixed expression block, which must lie inside the instructions.
    bool skipBlock()
    {
        std::uint64_t length = uleb();
        if (!m_cursor.valid || length == 0 || length > m_cursor.end - m_cursor.position)
            return false;
        m_cursor.position += length;
        return true;
    }

    EMBDwarfCursor m_cursor;
    const EMBDwarfCIERecord* m_cie;
    EMBDwarfState* m_state;
    const EMBDwarfState* m_initial;
    std::uint64_t m_pcBegin;
    std::uint64_t m_location { 0 };
    // Raw rows, copied in and out: most runs remember nothing, and zeroing the stack each time would cost
    // more than the rest of the run.
    alignas(EMBDwarfState) unsigned char m_remembered[sizeof(EMBDwarfState) * kEMBDwarfRememberedStates];
    int m_depth { 0 };
};

}

bool EMBDwarfInstructionsEnumerate(std::uint64_t instructions, std::uint64_t length,
    const EMBDwarfCIERecord* cie, EMBDwarfState* state, std::uint64_t pcOffset, const EMBDwarfState* initial,
    std::uint64_t pcBegin)
{
    if (cie == nullptr || state == nullptr || instructions + length < instructions)
        return false;
    EMBDwarfCursor cursor { instructions, instructions + length };
    return Interpreter(cursor, cie, state, initial, pcBegin).run(pcOffset);
}

}
