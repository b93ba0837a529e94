#include "kit/crash/EMBUserLogging.h"

#include "kit/crash/capture/EMBFile.h"
#include "kit/crash/capture/EMBSDKLog.h"
#include "platform/foundation/Dictionary.h"

#include <atomic>
#include <ctime>
#include <execinfo.h>
#include <memory>
#include <mutex>

namespace kit {
namespace {

constexpr std::size_t kMaxLogSize { 128 * 1024 };
constexpr std::size_t kMaxStackFrames { 128 };

std::atomic<EMBUserLoggingStorages*> g_storages { nullptr };
std::atomic<EMBUserLoggingWritableState*> g_state { nullptr };
std::mutex g_queueLock;
std::unique_ptr<EMBLoggingQueue> g_queue;

std::uint64_t monotonicNanoseconds()
{
    timespec now {};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::uint64_t>(now.tv_sec) * 1'000'000'000u + static_cast<std::uint64_t>(now.tv_nsec);
}

std::string join(const std::string& directory, const char* name)
{
    return directory + "/" + name;
}

// Hands out the bytes a recorded error may keep, text by text.
class TextBudget {
public:
    explicit TextBudget(std::size_t bytes)
        : m_left(bytes)
    {
    }
    std::string take(std::string text)
    {
        text = EMBUserLoggingCutText(std::move(text), m_left);
        m_left -= text.size();
        return text;
    }

private:
    std::size_t m_left;
};

void writeInfo(
    EMBFile* file, const char* key, const platform::foundation::DictionaryRef& info, TextBudget& budget)
{
    if (!info || info->empty())
        return;
    EMBFileWriteHashKey(file, key);
    EMBFileWriteArrayStart(file);
    for (const auto& [name, value] : info->entries()) {
        auto description = EMBValueDescription(value);
        if (!description)
            continue;
        EMBFileWriteArrayStart(file);
        EMBFileWriteArrayEntryHexEncodedString(file, budget.take(name).c_str());
        EMBFileWriteArrayEntryHexEncodedString(file, budget.take(*description).c_str());
        EMBFileWriteArrayEnd(file);
    }
    EMBFileWriteArrayEnd(file);
}

}

void EMBUserLoggingSetUpStorages(EMBUserLoggingStorages* storages, EMBUserLoggingWritableState* writable,
    const std::string& directory, const EMBUserLoggingLimits& limits)
{
    storages->userKVStorage = { join(directory, "user_incremental_kv.embrecord"),
        join(directory, "user_compacted_kv.embrecord"), 64, limits.maxCustomKeys };
    storages->internalKVStorage = { join(directory, "internal_incremental_kv.embrecord"),
        join(directory, "internal_compacted_kv.embrecord"), 64, kEMBInternalKVMaxKeys };
    storages->logStorage = { join(directory, "log_a.embrecord"), join(directory, "log_b.embrecord"),
        limits.logBufferSize, 0, true, nullptr };
    storages->errorStorage = { join(directory, "errors_a.embrecord"), join(directory, "errors_b.embrecord"),
        0, limits.errorReportingEnabled ? limits.maxCustomExceptions : 0, false, &writable->errorsCount };
    storages->customExceptionStorage
        = { join(directory, "custom_exception_a.embrecord"), join(directory, "custom_exception_b.embrecord"),
              0, limits.customExceptionsEnabled ? limits.maxCustomExceptions : 0, false,
              &writable->customExceptionCount };
}

void EMBUserLoggingInit(EMBUserLoggingStorages* storages, EMBUserLoggingWritableState* writable)
{
    if (storages == nullptr || writable == nullptr)
        return;
    {
        std::lock_guard lock(g_queueLock);
        if (!g_queue)
            g_queue = std::make_unique<EMBLoggingQueue>("com.cairn.ember.ios.logging");
    }
    writable->logStorageCurrentFile = &storages->logStorage.pathA;
    writable->errorStorageCurrentFile = &storages->errorStorage.pathA;
    writable->customExceptionStorageCurrentFile = &storages->customExceptionStorage.pathA;
    writable->userKVCount = 0;
    writable->internalKVCount = 0;
    writable->errorsCount = 0;
    writable->customExceptionCount = 0;
    storages->userKVStorage.compactionThreshold = 64;
    storages->internalKVStorage.compactionThreshold = 64;
    storages->logTimeOrigin = monotonicNanoseconds();
    g_state = writable;
    g_storages = storages;
}

void EMBUserLoggingDeinit()
{
    g_storages = nullptr;
    std::unique_ptr<EMBLoggingQueue> queue;
    {
        std::lock_guard lock(g_queueLock);
        queue = std::move(g_queue);
    }
    if (queue) {
        queue->waitUntilIdle();
        queue->sync(EMBUserLoggingCloseABFiles);
    }
    g_state = nullptr;
}

bool EMBUserLoggingIsInitialized()
{
    return g_storages.load() != nullptr;
}

const EMBUserLoggingStorages* EMBUserLoggingCurrentStorages()
{
    return g_storages;
}

EMBUserLoggingWritableState* EMBUserLoggingCurrentState()
{
    return g_storages ? g_state.load() : nullptr;
}

EMBLoggingQueue* EMBUserLoggingQueue()
{
    std::lock_guard lock(g_queueLock);
    return g_storages ? g_queue.get() : nullptr;
}

std::uint64_t EMBUserLoggingLogTime()
{
    auto* storages = g_storages.load();
    auto origin = storages ? storages->logTimeOrigin : 0;
    return (monotonicNanoseconds() - origin) / 1'000'000u;
}

std::size_t EMBUserLoggingMaxLogSize()
{
    return kMaxLogSize;
}

std::size_t EMBUserLoggingMaxErrorSize()
{
    return kMaxLogSize;
}

std::string EMBUserLoggingCutText(std::string text, std::size_t limit)
{
    if (text.size() <= limit)
        return text;
    std::size_t end = limit;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
        --end;
    text.resize(end);
    return text;
}

void EMBUserLoggingRecordUserKeyValue(const std::string& key, const platform::foundation::Value& value)
{
    auto* storages = EMBUserLoggingCurrentStorages();
    auto* state = EMBUserLoggingCurrentState();
    if (storages && state)
        EMBUserLoggingRecordKeyValue(
            key, EMBValueDescription(value), &storages->userKVStorage, &state->userKVCount);
}

void EMBUserLoggingRecordInternalKeyValue(const std::string& key, const platform::foundation::Value& value)
{
    auto* storages = EMBUserLoggingCurrentStorages();
    auto* state = EMBUserLoggingCurrentState();
    if (storages && state)
        EMBUserLoggingRecordKeyValue(
            key, EMBValueDescription(value), &storages->internalKVStorage, &state->internalKVCount);
}

void EMBUserLoggingWriteInternalKeyValue(const std::string& key, const platform::foundation::Value& value)
{
    EMBUserLoggingRecordInternalKeyValue(key, value);
}

void EMBUserLoggingRecordError(
    const platform::foundation::Error& error, const platform::foundation::DictionaryRef& additionalUserInfo)
{
    auto* storages = EMBUserLoggingCurrentStorages();
    auto* state = EMBUserLoggingCurrentState();
    if (!storages || !state)
        return;
    void* frames[kMaxStackFrames];
    int count = backtrace(frames, static_cast<int>(kMaxStackFrames));
    auto time = static_cast<std::uint64_t>(std::time(nullptr));
    EMBUserLoggingWriteAndCheckABFiles(
        &storages->errorStorage, &state->errorStorageCurrentFile, [&](EMBFile* file) {
            TextBudget budget(EMBUserLoggingMaxErrorSize());
            EMBFileWriteSectionStart(file, "error");
            EMBFileWriteHashStart(file);
            EMBFileWriteHashEntryHexEncodedString(file, "domain", budget.take(error.domain()).c_str());
            EMBFileWriteHashEntryInt64(file, "code", error.code());
            EMBFileWriteHashEntryUint64(file, "time", time);
            EMBFileWriteHashKey(file, "stacktrace");
            EMBFileWriteArrayStart(file);
            for (int i = 0; i < count; ++i)
                EMBFileWriteArrayEntryUint64(file, reinterpret_cast<std::uintptr_t>(frames[i]));
            EMBFileWriteArrayEnd(file);
            writeInfo(file, "info", error.userInfo(), budget);
            writeInfo(file, "extra_info", additionalUserInfo, budget);
            EMBFileWriteHashEnd(file);
            EMBFileWriteSectionEnd(file);
        });
}

}
