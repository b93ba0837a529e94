#pragma once

#include <cstdint>

namespace kit {

class EMBMemoryReader;

/// A position in mapped call-frame information and the end it may not pass. Reads go straight to memory
/// (the image is mapped), never past `end`; a read that would makes the cursor invalid and answers 0.
struct EMBDwarfCursor {
    std::uint64_t position { 0 };
    std::uint64_t end { 0 };
    bool valid { true };
    /// Where an indirect encoded address is read; none makes indirect addresses invalid.
    const EMBMemoryReader* reader { nullptr };
    /// Base of data-relative encoded addresses (the .eh_frame_hdr table); 0 when there is none.
    std::uint64_t dataBase { 0 };
};

/// The value an encoded address that cannot be read gives.
inline constexpr std::uint64_t kEMBDwarfInvalidAddress { ~std::uint64_t(0) };

std::uint8_t EMBParseUint8AndAdvance(EMBDwarfCursor* cursor);
std::uint16_t EMBParseUint16AndAdvance(EMBDwarfCursor* cursor);
std::int16_t EMBParseInt16AndAdvance(EMBDwarfCursor* cursor);
std::uint32_t EMBParseUint32AndAdvance(EMBDwarfCursor* cursor);
std::int32_t EMBParseInt32AndAdvance(EMBDwarfCursor* cursor);
std::uint64_t EMBParseUint64AndAdvance(EMBDwarfCursor* cursor);
std::int64_t EMBParseInt64AndAdvance(EMBDwarfCursor* cursor);
std::uint64_t EMBParsePointerAndAdvance(EMBDwarfCursor* cursor);
/// Unsigned LEB128 of up to 64 bits (ten bytes); longer or unterminated sequences invalidate the cursor.
std::uint64_t EMBParseULEB128AndAdvance(EMBDwarfCursor* cursor);
/// Signed LEB128 of up to 64 bits, sign-extended from the last group's bit 6.
std::int64_t EMBParseLEB128AndAdvance(EMBDwarfCursor* cursor);
/// Answers the address of the NUL-terminated text at the cursor and moves past its terminator.
std::uint64_t EMBParseStringAndAdvance(EMBDwarfCursor* cursor);
/// A 32-bit record length, or 0xffffffff followed by a 64-bit one.
std::uint64_t EMBParseRecordLengthAndAdvance(EMBDwarfCursor* cursor);
/// An address in the pointer encoding `encoding` (DW_EH_PE_*): absolute, PC-relative or data-relative,
/// optionally indirect. 0xff (omit) gives 0; anything else unknown gives kEMBDwarfInvalidAddress.
std::uint64_t EMBParseAddressWithEncodingAndAdvance(EMBDwarfCursor* cursor, std::uint8_t encoding);

}
