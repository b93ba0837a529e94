#include "kit/crash/capture/EMBDwarfParsing.h"

#include "kit/crash/capture/EMBMemoryReader.h"
#include "kit/crash/capture/EMBSDKLog.h"

#include <cstring>

namespace kit {
namespace {

template<class T> T take(EMBDwarfCursor* cursor)
{
    if (!cursor->valid || cursor->position > cursor->end || cursor->end - cursor->position < sizeof(T)) {
        cursor->valid = false;
        return 0;
    }
    T value;
    std::memcpy(&value, reinterpret_cast<const void*>(cursor->position), sizeof value);
    cursor->position += sizeof value;
    return value;
}

}

std::uint8_t EMBParseUint8AndAdvance(EMBDwarfCursor* cursor)
{
    return take<std::uint8_t>(cursor);
}

std::uint16_t EMBParseUint16AndAdvance(EMBDwarfCursor* cursor)
{
    return take<std::uint16_t>(cursor);
}

std::int16_t EMBParseInt16AndAdvance(EMBDwarfCursor* cursor)
{
    return take<std::int16_t>(cursor);
}

std::uint32_t EMBParseUint32AndAdvance(EMBDwarfCursor* cursor)
{
    return take<std::uint32_t>(cursor);
}

std::int32_t EMBParseInt32AndAdvance(EMBDwarfCursor* cursor)
{
    return take<std::int32_t>(cursor);
}

std::uint64_t EMBParseUint64AndAdvance(EMBDwarfCursor* cursor)
{
    return take<std::uint64_t>(cursor);
}

std::int64_t EMBParseInt64AndAdvance(EMBDwarfCursor* cursor)
{
    return take<std::int64_t>(cursor);
}

std::uint64_t EMBParsePointerAndAdvance(EMBDwarfCursor* cursor)
{
    return take<std::uint64_t>(cursor);
}

std::uint64_t EMBParseULEB128AndAdvance(EMBDwarfCursor* cursor)
{
    std::uint64_t value = 0;
    for (unsigned shift = 0; shift < 70; shift += 7) {
        std::uint8_t byte = take<std::uint8_t>(cursor);
        if (!cursor->valid)
            return 0;
        if (shift < 64)
            value |= std::uint64_t(byte & 0x7f) << shift;
        if ((byte & 0x80) == 0)
            return value;
    }
    cursor->valid = false;
    return 0;
}

std::int64_t EMBParseLEB128AndAdvance(EMBDwarfCursor* cursor)
{
    std::uint64_t value = 0;
    for (unsigned shift = 0; shift < 70; shift += 7) {
        std::uint8_t byte = take<std::uint8_t>(cursor);
        if (!cursor->valid)
            return 0;
        if (shift < 64)
            value |= std::uint64_t(byte & 0x7f) << shift;
        if ((byte & 0x80) == 0) {
            if (shift + 7 < 64 && (byte & 0x40) != 0)
                value |= ~std::uint64_t(0) << (shift + 7);
            return static_cast<std::int64_t>(value);
        }
    }
    cursor->valid = false;
    return 0;
}

std::uint64_t EMBParseStringAndAdvance(EMBDwarfCursor* cursor)
{
    std::uint64_t start = cursor->position;
    while (cursor->valid && take<std::uint8_t>(cursor) != 0) { }
    return cursor->valid ? start : 0;
}

std::uint64_t EMBParseRecordLengthAndAdvance(EMBDwarfCursor* cursor)
{
    std::uint32_t length = take<std::uint32_t>(cursor);
    return length == 0xffffffff ? take<std::uint64_t>(cursor) : length;
}

std::uint64_t EMBParseAddressWithEncodingAndAdvance(EMBDwarfCursor* cursor, std::uint8_t encoding)
{
    if (encoding == 0xff)
        return 0;
    std::uint64_t start = cursor->position;
    std::uint64_t value = 0;
    switch (encoding & 0x0f) {
    case 0x00:
    case 0x04:
    case 0x0c:
        value = take<std::uint64_t>(cursor);
        break;
    case 0x01:
        value = EMBParseULEB128AndAdvance(cursor);
        break;
    case 0x02:
        value = take<std::uint16_t>(cursor);
        break;
    case 0x03:
        value = take<std::uint32_t>(cursor);
        break;
    case 0x09:
        value = std::uint64_t(EMBParseLEB128AndAdvance(cursor));
        break;
    case 0x0a:
        value = std::uint64_t(std::int64_t(take<std::int16_t>(cursor)));
        break;
    case 0x0b:
        value = std::uint64_t(std::int64_t(take<std::int32_t>(cursor)));
        break;
    default:
        EMBSDKFileLog("%s: Unhandled: encoding 0x%02x\n", __func__, encoding);
        return kEMBDwarfInvalidAddress;
    }
    if (!cursor->valid)
        return kEMBDwarfInvalidAddress;
    switch (encoding & 0x70) {
    case 0x00:
        break;
    case 0x10:
        value += start;
        break;
    case 0x30:
        if (cursor->dataBase == 0)
            return kEMBDwarfInvalidAddress;
        value += cursor->dataBase;
        break;
    default:
        EMBSDKFileLog("%s: Unhandled: relative encoding 0x%02x\n", __func__, encoding);
        return kEMBDwarfInvalidAddress;
    }
    if ((encoding & 0x80) != 0) {
        std::uint64_t target = 0;
        if (value == 0 || cursor->reader == nullptr || !cursor->reader->readWord(value, &target))
            return kEMBDwarfInvalidAddress;
        value = target;
    }
    return value;
}

}
