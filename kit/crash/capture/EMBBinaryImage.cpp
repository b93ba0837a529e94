#include "kit/crash/capture/EMBBinaryImage.h"

#include "kit/crash/capture/EMBCaptureUtilities.h"
#include "kit/crash/capture/EMBDataHelpers.h"
#include "kit/crash/capture/EMBSDKLog.h"
#include "platform/foundation/Bundle.h"
#include "platform/foundation/DispatchQueue.h"
#include "platform/foundation/DynamicLoader.h"
#include "platform/foundation/ExecutableImage.h"

#include <climits>
#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>
#include <string_view>
#include <unistd.h>

namespace kit {
namespace {

// Reserved at start: the slots the crash path scans, and the record file's path
// and writer.
EMBBinaryImageNode g_slots[kEMBBinaryImageSlots];
std::atomic<bool> g_initialized { false };
char g_recordPath[PATH_MAX] {};
EMBFile g_recordFile;
EMBDwarfRuleCache g_ruleCache;

platform::foundation::DispatchQueue& recordQueue()
{
    static auto* queue = new platform::foundation::DispatchQueue("com.cairn.ember.ios.binary-images");
    return *queue;
}

bool openRecordFileIfNeeded(bool* opened)
{
    *opened = false;
    if (EMBFileIsOpen(&g_recordFile))
        return true;
    if (!EMBFileInitWithPath(&g_recordFile, g_recordPath, false)) {
        EMBSDKFileLog("%s: Error: unable to open binary image log file\n", __func__);
        return false;
    }
    *opened = true;
    return true;
}

// A framework outside the system's folders names its bundle: identifier and versions from the Info.plist
// of the folder holding the image, each only when present and not empty.
void writeBundleDetails(const char* path)
{
    std::string_view image(path);
    if (image.starts_with("/System") || image.find(".framework") == std::string_view::npos)
        return;
    platform::foundation::Bundle bundle(std::filesystem::path(image).parent_path());
    auto text = [&](const char* key) -> std::optional<std::string> {
        platform::foundation::Value value = bundle.objectForInfoDictionaryKey(key);
        return value.string() ? std::optional<std::string>(*value.string()) : std::nullopt;
    };
    EMBFileWriteHashEntryNSStringUnlessNilOrEmpty(&g_recordFile, "bundle_id", text("CFBundleIdentifier"));
    EMBFileWriteHashEntryNSStringUnlessNilOrEmpty(&g_recordFile, "build_version", text("CFBundleVersion"));
    EMBFileWriteHashEntryNSStringUnlessNilOrEmpty(
        &g_recordFile, "display_version", text("CFBundleShortVersionString"));
}

void writeRecord(bool loaded, const EMBBinaryImageDetails& details)
{
    bool opened = false;
    if (!openRecordFileIfNeeded(&opened))
        return;
    EMBFileWriteSectionStart(&g_recordFile, loaded ? "load" : "unload");
    EMBFileWriteHashStart(&g_recordFile);
    EMBFileWriteHashEntryString(&g_recordFile, "path", details.path);
    if (loaded)
        writeBundleDetails(details.path);
    EMBBinaryImageRecordDetails(&g_recordFile, &details);
    EMBFileWriteHashEnd(&g_recordFile);
    EMBFileWriteSectionEnd(&g_recordFile);
    if (opened)
        EMBFileClose(&g_recordFile);
}

// The build-id's first 16 bytes (padded with zeros) from the image's mapped
// PT_NOTE segments.
void readBuildId(const platform::foundation::LoadedImage& image, char* uuid)
{
    for (int i = 0; i < image.programHeaderCount; ++i) {
        const auto& segment = image.programHeaders[i];
        if (segment.p_type != PT_NOTE)
            continue;
        auto at = image.slide + segment.p_vaddr;
        auto end = at + segment.p_memsz;
        while (at + sizeof(ElfW(Nhdr)) <= end) {
            auto* note = reinterpret_cast<const ElfW(Nhdr)*>(at);
            auto name = at + sizeof *note;
            auto descriptor = name + ((note->n_namesz + 3) & ~3u);
            auto next = descriptor + ((note->n_descsz + 3) & ~3u);
            if (next > end)
                break;
            if (note->n_type == NT_GNU_BUILD_ID && note->n_namesz == 4
                && std::memcmp(reinterpret_cast<const void*>(name), "GNU", 4) == 0 && note->n_descsz > 0) {
                std::uint8_t bytes[16] {};
                std::memcpy(bytes, reinterpret_cast<const void*>(descriptor),
                    std::min<std::size_t>(16, note->n_descsz));
                EMBSafeHexToString(bytes, 16, uuid);
                return;
            }
            at = next;
        }
    }
}

}

void EMBBinaryImageFillInImageDetails(
    const platform::foundation::LoadedImage& image, EMBBinaryImageDetails* details)
{
    *details = EMBBinaryImageDetails {};
    details->base = reinterpret_cast<std::uint64_t>(image.header);
    std::strncpy(details->path, image.path != nullptr ? image.path : "", sizeof details->path - 1);
    if (details->path[0] == '\0') {
        ssize_t length = readlink("/proc/self/exe", details->path, sizeof details->path - 1);
        details->path[length > 0 ? length : 0] = '\0';
    }
    readBuildId(image, details->uuid);
    std::uint64_t ehFrame = 0;
    for (int i = 0; i < image.programHeaderCount; ++i) {
        const auto& segment = image.programHeaders[i];
        std::uint64_t start = image.slide + segment.p_vaddr;
        if (segment.p_type == PT_LOAD && (segment.p_flags & PF_X) != 0)
            details->size = std::max(details->size, start + segment.p_memsz - details->base);
        if (segment.p_type == PT_GNU_EH_FRAME)
            ehFrame = start;
    }
    for (int i = 0; ehFrame != 0 && i < image.programHeaderCount; ++i) {
        const auto& segment = image.programHeaders[i];
        std::uint64_t start = image.slide + segment.p_vaddr;
        if (segment.p_type == PT_LOAD && ehFrame >= start && ehFrame < start + segment.p_memsz) {
            details->ehFrame = ehFrame;
            details->ehFrameSegmentStart = start;
            details->ehFrameSegmentEnd = start + segment.p_memsz;
        }
    }
}

void EMBBinaryImageInit(const char* recordPath)
{
    for (auto& slot : g_slots) {
        slot.base = 0;
        slot.size = 0;
        slot.ehFrame = 0;
        slot.ehFrameSegmentStart = 0;
        slot.ehFrameSegmentEnd = 0;
    }
    g_ruleCache.invalidate();
    g_ruleCache.reserve();
    g_recordPath[0] = '\0';
    if (recordPath != nullptr && std::strlen(recordPath) < sizeof g_recordPath)
        std::strcpy(g_recordPath, recordPath);
    g_initialized = true;
    recordQueue().sync([] {
        if (!EMBUnlinkIfExists(g_recordPath))
            EMBSDKFileLog("%s: Unable to reset the binary image log file %s\n", __func__, g_recordPath);
        if (!EMBFileInitWithPath(&g_recordFile, g_recordPath, false))
            EMBSDKFileLog("%s: Error: Unable to open the binary image log file during init\n", __func__);
    });
    platform::foundation::DynamicLoader::setImageCallbacks(
        EMBBinaryImageAddedCallback, EMBBinaryImageRemovedCallback);
    recordQueue().async([] {
        if (EMBFileIsOpen(&g_recordFile))
            EMBFileClose(&g_recordFile);
    });
}

void EMBBinaryImageDeinit()
{
    platform::foundation::DynamicLoader::clearImageCallbacks();
    EMBBinaryImageWaitForRecords();
    g_initialized = false;
}

void EMBBinaryImageWaitForRecords()
{
    recordQueue().waitUntilIdle();
}

void EMBBinaryImageAddedCallback(const platform::foundation::LoadedImage& image)
{
    auto details = std::make_unique<EMBBinaryImageDetails>();
    EMBBinaryImageFillInImageDetails(image, details.get());
    EMBBinaryImageChanged(true, *details);
}

void EMBBinaryImageRemovedCallback(const platform::foundation::LoadedImage& image)
{
    // The image is gone: its headers cannot be read again, so the record takes
    // what the slot knew.
    auto details = std::make_unique<EMBBinaryImageDetails>();
    details->base = reinterpret_cast<std::uint64_t>(image.header);
    std::strncpy(details->path, image.path != nullptr ? image.path : "", sizeof details->path - 1);
    for (auto& slot : g_slots) {
        if (slot.base.load() == details->base) {
            details->size = slot.size.load();
            break;
        }
    }
    EMBBinaryImageChanged(false, *details);
}

void EMBBinaryImageChanged(bool loaded, const EMBBinaryImageDetails& details)
{
    if (!g_initialized) {
        EMBSDKFileLog("%s: Error: Writable context is NULL\n", __func__);
        return;
    }
    bool updated = false;
    for (auto& slot : g_slots) {
        std::uint64_t expected = loaded ? 0 : details.base;
        if (!loaded && slot.base.load() != details.base)
            continue;
        if (slot.base.compare_exchange_strong(expected, details.base)) {
            slot.size = loaded ? details.size : 0;
            slot.ehFrame = loaded ? details.ehFrame : 0;
            slot.ehFrameSegmentStart = loaded ? details.ehFrameSegmentStart : 0;
            slot.ehFrameSegmentEnd = loaded ? details.ehFrameSegmentEnd : 0;
            updated = true;
            break;
        }
        if (!loaded) {
            EMBSDKFileLog("%s: Error: Failed to swap during image unload\n", __func__);
            break;
        }
    }
    if (!loaded)
        g_ruleCache.invalidate();
    if (!updated) {
        EMBSDKFileLog("%s: Error: Unable to track a %s node %p\n", __func__, loaded ? "loaded" : "unloaded",
            reinterpret_cast<void*>(details.base));
    }
    auto record = std::make_shared<EMBBinaryImageDetails>(details);
    recordQueue().async([loaded, record] { writeRecord(loaded, *record); });
}

bool EMBBinaryImageSafeFindImageForAddress(std::uint64_t address, EMBBinaryImageSlot* slot)
{
    if (!g_initialized || address == 0)
        return false;
    for (auto& node : g_slots) {
        std::uint64_t base = node.base.load();
        if (base == 0)
            return false;
        std::uint64_t size = node.size.load();
        if (address >= base && address - base < size) {
            *slot = { base, size, node.ehFrame.load(), node.ehFrameSegmentStart.load(),
                node.ehFrameSegmentEnd.load() };
            return true;
        }
    }
    return false;
}

bool EMBBinaryImageSafeHasUnwindInfo(const EMBBinaryImageSlot* slot)
{
    return slot != nullptr && slot->ehFrame >= 4096;
}

bool EMBBinaryImageDwarfLookup(std::uint64_t pc, EMBDwarfImage* image)
{
    EMBBinaryImageSlot slot;
    if (!EMBBinaryImageSafeFindImageForAddress(pc, &slot) || !EMBBinaryImageSafeHasUnwindInfo(&slot))
        return false;
    *image = { slot.ehFrame, { slot.ehFrameSegmentStart, slot.ehFrameSegmentEnd } };
    return true;
}

EMBDwarfRuleCache* EMBBinaryImageRuleCache()
{
    return &g_ruleCache;
}

bool EMBBinaryImageFindImageForUUID(const char* uuid, EMBBinaryImageDetails* details)
{
    if (uuid == nullptr || details == nullptr) {
        EMBSDKFileLog("%s: null input\n", __func__);
        return false;
    }
    struct Search {
        const char* uuid;
        EMBBinaryImageDetails* details;
        bool found { false };
    } search { uuid, details };
    dl_iterate_phdr(
        [](dl_phdr_info* info, std::size_t, void* data) {
            auto* search = static_cast<Search*>(data);
            platform::foundation::LoadedImage image { nullptr, info->dlpi_addr, info->dlpi_name,
                info->dlpi_phdr, info->dlpi_phnum };
            for (int i = 0; i < info->dlpi_phnum; ++i) {
                if (info->dlpi_phdr[i].p_type == PT_LOAD && info->dlpi_phdr[i].p_offset == 0)
                    image.header
                        = reinterpret_cast<const ElfW(Ehdr)*>(info->dlpi_addr + info->dlpi_phdr[i].p_vaddr);
            }
            EMBBinaryImageFillInImageDetails(image, search->details);
            search->found
                = std::strncmp(search->details->uuid, search->uuid, sizeof search->details->uuid) == 0;
            return search->found ? 1 : 0;
        },
        &search);
    return search.found;
}

bool EMBBinaryImageRecordDetails(EMBFile* file, const EMBBinaryImageDetails* details)
{
    if (!EMBFileIsOpen(file)) {
        EMBSDKFileLog("%s: Error: file is invalid\n", __func__);
        return false;
    }
    EMBFileWriteHashEntryString(file, "uuid", details->uuid[0] != '\0' ? details->uuid : nullptr);
    EMBFileWriteHashEntryUint64(file, "base", details->base);
    return EMBFileWriteHashEntryUint64(file, "size", details->size);
}

bool EMBBinaryImageRecordMainExecutable(EMBFile* file)
{
    auto program = platform::foundation::ExecutableImage::current();
    if (!program || !EMBFileIsOpen(file))
        return false;
    auto version = [](const std::optional<platform::foundation::VersionTriple>& triple) {
        return triple ? std::optional<std::string>(triple->string()) : std::nullopt;
    };
    EMBFileWriteSectionStart(file, "executable");
    EMBFileWriteHashStart(file);
    EMBFileWriteHashEntryString(file, "architecture", program->architecture().c_str());
    EMBFileWriteHashEntryNSString(file, "uuid", program->uuidString());
    EMBFileWriteHashEntryUint64(file, "base", program->loadAddress());
    EMBFileWriteHashEntryUint64(file, "size", program->textSize());
    EMBFileWriteHashEntryBoolean(file, "encrypted", false);
    EMBFileWriteHashEntryNSString(file, "minimum_sdk_version", version(program->minimumVersion()));
    EMBFileWriteHashEntryNSString(file, "built_sdk_version", version(program->builtVersion()));
    EMBFileWriteHashEnd(file);
    return EMBFileWriteSectionEnd(file);
}

}
