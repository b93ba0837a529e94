#include "kit/crash/capture/EMBDwarfRecords.h"

#include "kit/crash/capture/EMBSDKLog.h"

namespace kit {
namespace {

// Reads the letters after "z": the augmentation data, bounded by its own length.
bool readAugmentation(EMBDwarfCIERecord* cie, EMBDwarfCursor& cursor)
{
    auto* letters = reinterpret_cast<const char*>(cie->augmentation);
    if (letters[0] == '\0')
        return true;
    if (letters[0] != 'z') {
        EMBSDKFileLog("%s: Error: Unimplemented: augmentation string %s\n", __func__, letters);
        return false;
    }
    cie->hasAugmentationData = 1;
    std::uint64_t dataLength = EMBParseULEB128AndAdvance(&cursor);
    if (!cursor.valid || dataLength > cursor.end - cursor.position)
        return false;
    EMBDwarfCursor data = cursor;
    data.end = cursor.position + dataLength;
    for (const char* letter = letters + 1; *letter != '\0'; ++letter) {
        switch (*letter) {
        case 'L':
            cie->lsdaEncoding = EMBParseUint8AndAdvance(&data);
            break;
        case 'P':
            cie->personalityEncoding = EMBParseUint8AndAdvance(&data);
            // Unwinding never calls the personality routine: an indirect one stays the address of its
            // pointer.
            cie->personality = EMBParseAddressWithEncodingAndAdvance(&data, cie->personalityEncoding & 0x7f);
            if (cie->personality == kEMBDwarfInvalidAddress) {
                EMBSDKFileLog("%s: Error: Found an invalid start address\n", __func__);
                return false;
            }
            break;
        case 'R':
            cie->pointerEncoding = EMBParseUint8AndAdvance(&data);
            break;
        case 'S':
            cie->signalFrame = 1;
            break;
        default:
            EMBSDKFileLog("%s: Error: Unhandled augmentation string entry %c\n", __func__, *letter);
            return false;
        }
        if (!data.valid)
            return false;
    }
    cursor.position = data.end;
    return true;
}

}

bool EMBDwarfParseCIERecord(EMBDwarfCIERecord* cie, std::uint64_t address, const EMBDwarfSection& section)
{
    *cie = EMBDwarfCIERecord {};
    std::uint64_t end = section.end;
    EMBDwarfCursor cursor { address, end, section.contains(address) };
    cie->length = EMBParseRecordLengthAndAdvance(&cursor);
    if (!cursor.valid || cie->length == 0 || cie->length > end - cursor.position) {
        EMBSDKFileLog("%s: Error: CIE length invalid\n", __func__);
        return false;
    }
    cursor.end = cursor.position + cie->length;
    if (EMBParseUint32AndAdvance(&cursor) != 0) {
        EMBSDKFileLog("%s: Error: CIE flag not found\n", __func__);
        return false;
    }
    cie->version = EMBParseUint8AndAdvance(&cursor);
    if (cie->version != 1 && cie->version != 3) {
        EMBSDKFileLog("%s: Error: CIE version %u unsupported\n", __func__, cie->version);
        return false;
    }
    cie->augmentation = EMBParseStringAndAdvance(&cursor);
    cie->codeAlignmentFactor = EMBParseULEB128AndAdvance(&cursor);
    cie->dataAlignmentFactor = EMBParseLEB128AndAdvance(&cursor);
    cie->returnAddressRegister
        = cie->version == 1 ? EMBParseUint8AndAdvance(&cursor) : EMBParseULEB128AndAdvance(&cursor);
    if (!cursor.valid || !readAugmentation(cie, cursor))
        return false;
    cie->instructions = cursor.position;
    cie->instructionsLength = cursor.end - cursor.position;
    return true;
}

bool EMBDwarfParseFDERecord(EMBDwarfFDERecord* fde, bool parseCIE, EMBDwarfCIERecord* cie,
    std::uint64_t address, const EMBDwarfSection& section)
{
    *fde = EMBDwarfFDERecord {};
    std::uint64_t end = section.end;
    EMBDwarfCursor cursor { address, end, section.contains(address) };
    fde->length = EMBParseRecordLengthAndAdvance(&cursor);
    if (!cursor.valid || fde->length == 0 || fde->length > end - cursor.position) {
        EMBSDKFileLog("%s: Error: FDE has zero length\n", __func__);
        return false;
    }
    cursor.end = cursor.position + fde->length;
    std::uint64_t pointerPosition = cursor.position;
    fde->ciePointer = EMBParseUint32AndAdvance(&cursor);
    if (!cursor.valid || fde->ciePointer == 0 || fde->ciePointer > pointerPosition - section.start) {
        EMBSDKFileLog("%s: Error: CIE offset invalid\n", __func__);
        return false;
    }
    if (parseCIE) {
        if (!EMBDwarfParseCIERecord(cie, pointerPosition - fde->ciePointer, section)) {
            EMBSDKFileLog("%s: Error: Unable to parse CIE record\n", __func__);
            return false;
        }
        if (!EMBDwarfCIEIsValid(cie)) {
            EMBSDKFileLog("%s: Error: CIE invalid\n", __func__);
            return false;
        }
    }
    fde->pcBegin = EMBParseAddressWithEncodingAndAdvance(&cursor, cie->pointerEncoding);
    if (fde->pcBegin == kEMBDwarfInvalidAddress) {
        EMBSDKFileLog("%s: Error: Found an invalid start address\n", __func__);
        return false;
    }
    fde->pcRange = EMBParseAddressWithEncodingAndAdvance(&cursor, cie->pointerEncoding & 0x0f);
    if (fde->pcRange == kEMBDwarfInvalidAddress) {
        EMBSDKFileLog("%s: Error: Found an invalid address range\n", __func__);
        return false;
    }
    if (cie->hasAugmentationData) {
        std::uint64_t skip = EMBParseULEB128AndAdvance(&cursor);
        if (!cursor.valid || skip > cursor.end - cursor.position)
            return false;
        cursor.position += skip;
    }
    fde->instructions = cursor.position;
    fde->instructionsLength = cursor.end - cursor.position;
    return cursor.valid;
}

bool EMBDwarfParseCFIFromFDERecord(
    EMBDwarfCFIRecord* cfi, std::uint64_t address, const EMBDwarfSection& section)
{
    return EMBDwarfParseFDERecord(&cfi->fde, true, &cfi->cie, address, section);
}

bool EMBDwarfParseCFIFromFDERecordOffset(
    EMBDwarfCFIRecord* cfi, std::uint64_t ehFrame, std::uint64_t offset, const EMBDwarfSection& section)
{
    return EMBDwarfParseCFIFromFDERecord(cfi, ehFrame + offset, section);
}

bool EMBDwarfCIEIsValid(const EMBDwarfCIERecord* cie)
{
    return cie != nullptr && cie->length != 0 && (cie->version == 1 || cie->version == 3)
        && cie->codeAlignmentFactor != 0;
}

bool EMBDwarfCIEHasAugmentationData(const EMBDwarfCIERecord* cie)
{
    return cie != nullptr && cie->hasAugmentationData;
}

}
