#pragma once

#include "kit/crash/capture/EMBDwarfUnwind.h"
#include "kit/crash/capture/EMBFile.h"

#include <atomic>
#include <cstddef>
#include <cstdint>

namespace platform::foundation {
struct LoadedImage;
}

namespace kit {

/// Number of image slots: loads beyond it (unloads included) are not tracked.
inline constexpr std::size_t kEMBBinaryImageSlots { 512 };

/// One tracked image. Claimed by compare-and-swap of `base` and never freed;
/// read without locks at crash time, so every field is atomic.
struct EMBBinaryImageNode {
    /// The image's ELF header address; 0 while the slot is free.
    std::atomic<std::uint64_t> base { 0 };
    /// From the header to the end of the image's last executable segment; 0 once
    /// unloaded.
    std::atomic<std::uint64_t> size { 0 };
    /// The .eh_frame_hdr table; 0 when the image has none.
    std::atomic<std::uint64_t> ehFrame { 0 };
    /// The mapped segment holding the table, where call-frame information may be
    /// read.
    std::atomic<std::uint64_t> ehFrameSegmentStart { 0 };
    std::atomic<std::uint64_t> ehFrameSegmentEnd { 0 };
};

/// A plain copy of a slot, as the crash path takes it.
struct EMBBinaryImageSlot {
    std::uint64_t base { 0 };
    std::uint64_t size { 0 };
    std::uint64_t ehFrame { 0 };
    std::uint64_t ehFrameSegmentStart { 0 };
    std::uint64_t ehFrameSegmentEnd { 0 };
};

/// What a load or unload record says of an image, worked out on the loader's
/// thread.
struct EMBBinaryImageDetails {
    /// The build-id's first 16 bytes as 32 lower-case hexadecimal digits; empty
    /// without a build-id.
    char uuid[33] {};
    std::uint64_t base { 0 };
    std::uint64_t size { 0 };
    std::uint64_t ehFrame { 0 };
    std::uint64_t ehFrameSegmentStart { 0 };
    std::uint64_t ehFrameSegmentEnd { 0 };
    char path[4096] {};
};

/// Clears the slots, starts "binary_images.embrecord" at `recordPath` afresh
/// and registers with the dynamic loader, which reports every image loaded so
/// far at once. Records are written on the binary-images queue.
void EMBBinaryImageInit(const char* recordPath);
/// Unregisters from the loader and waits for pending records: for tests and
/// shutdown.
void EMBBinaryImageDeinit();
/// Waits until every record queued so far is in the file: for tests that crash
/// a program which has run long enough to have its images written down.
void EMBBinaryImageWaitForRecords();

/// The loader's callbacks.
void EMBBinaryImageAddedCallback(const platform::foundation::LoadedImage& image);
void EMBBinaryImageRemovedCallback(const platform::foundation::LoadedImage& image);

/// Tracks a load or unload in the slots and queues its record.
void EMBBinaryImageChanged(bool loaded, const EMBBinaryImageDetails& details);

/// The image holding `address`, from the slots alone: no lock, no heap. False
/// for address 0, before initialisation, or outside every tracked image's code.
bool EMBBinaryImageSafeFindImageForAddress(std::uint64_t address, EMBBinaryImageSlot* slot);
/// Whether the slot knows the image's unwind table.
bool EMBBinaryImageSafeHasUnwindInfo(const EMBBinaryImageSlot* slot);
/// EMBDwarfImageLookup over the slots, for the stack walk.
bool EMBBinaryImageDwarfLookup(std::uint64_t pc, EMBDwarfImage* image);
/// The rows the stack walk worked out from the tracked images' tables, to pass with
/// EMBBinaryImageDwarfLookup; forgotten whenever an image is unloaded.
EMBDwarfRuleCache* EMBBinaryImageRuleCache();

/// Fills `details` of a loaded image from its program headers and build-id
/// note.
void EMBBinaryImageFillInImageDetails(
    const platform::foundation::LoadedImage& image, EMBBinaryImageDetails* details);
/// Walks the loader's list for the image whose UUID text is `uuid`.
bool EMBBinaryImageFindImageForUUID(const char* uuid, EMBBinaryImageDetails* details);
/// Writes the program's "executable" record (into the metadata file): architecture, UUID, where it is loaded,
/// the size of its code and the versions it was built for and against.
bool EMBBinaryImageRecordMainExecutable(EMBFile* file);
/// Writes "uuid" (null without a build-id), "base" and "size".
bool EMBBinaryImageRecordDetails(EMBFile* file, const EMBBinaryImageDetails* details);
/// Writes the program's "executable" record into the metadata file.
bool EMBBinaryImageRecordMainExecutable(EMBFile* file);

}
