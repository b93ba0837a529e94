#pragma once

#include "kit/crash/capture/EMBDwarfParsing.h"

#include <cstdint>

namespace kit {

/// The mapped bytes that call-frame information may be read from: its section, or the segment holding it.
struct EMBDwarfSection {
    std::uint64_t start { 0 };
    std::uint64_t end { 0 };

    bool contains(std::uint64_t address) const { return address >= start && address < end; }
};

/// A common information entry of .eh_frame (or a Mach-O __eh_frame), read in place.
struct EMBDwarfCIERecord {
    std::uint64_t length { 0 };
    std::uint8_t version { 0 };
    std::uint64_t augmentation { 0 };
    std::uint64_t codeAlignmentFactor { 0 };
    std::int64_t dataAlignmentFactor { 0 };
    std::uint64_t returnAddressRegister { 0 };
    std::uint8_t pointerEncoding { 0 };
    std::uint8_t lsdaEncoding { 0xff };
    std::uint8_t personalityEncoding { 0xff };
    std::uint64_t personality { 0 };
    std::uint8_t signalFrame { 0 };
    std::uint64_t instructions { 0 };
    std::uint64_t instructionsLength { 0 };
    /// Whether the augmentation string starts with "z" (augmentation data follows in each FDE).
    std::uint8_t hasAugmentationData { 0 };
};

/// A frame description entry, read in place.
struct EMBDwarfFDERecord {
    std::uint64_t length { 0 };
    std::uint32_t ciePointer { 0 };
    std::uint64_t pcBegin { 0 };
    std::uint64_t pcRange { 0 };
    std::uint64_t instructions { 0 };
    std::uint64_t instructionsLength { 0 };
};

/// An FDE with its CIE: what one function's unwinding needs.
struct EMBDwarfCFIRecord {
    EMBDwarfCIERecord cie;
    EMBDwarfFDERecord fde;
};

/// Reads the CIE at `address` (no record may reach outside `section`). False, with an SDK log line, for
/// anything this reader does not know.
bool EMBDwarfParseCIERecord(EMBDwarfCIERecord* cie, std::uint64_t address, const EMBDwarfSection& section);
/// Reads the FDE at `address` and, when `parseCIE` is set, the CIE it points to into `cie`.
bool EMBDwarfParseFDERecord(EMBDwarfFDERecord* fde, bool parseCIE, EMBDwarfCIERecord* cie,
    std::uint64_t address, const EMBDwarfSection& section);
/// Reads the FDE at `address` with its CIE.
bool EMBDwarfParseCFIFromFDERecord(
    EMBDwarfCFIRecord* cfi, std::uint64_t address, const EMBDwarfSection& section);
/// Reads the FDE at `offset` into the .eh_frame section at `ehFrame`.
bool EMBDwarfParseCFIFromFDERecordOffset(
    EMBDwarfCFIRecord* cfi, std::uint64_t ehFrame, std::uint64_t offset, const EMBDwarfSection& section);
/// Whether a parsed CIE can be used (a known version, a valid alignment).
bool EMBDwarfCIEIsValid(const EMBDwarfCIERecord* cie);
/// Whether its FDEs carry augmentation data.
bool EMBDwarfCIEHasAugmentationData(const EMBDwarfCIERecord* cie);

}
