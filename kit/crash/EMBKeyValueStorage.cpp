#include "kit/crash/EMBKeyValueStorage.h"

#include "kit/crash/EMBFileManager.h"
#include "kit/crash/EMBUserLogging.h"
#include "kit/crash/capture/EMBCaptureUtilities.h"
#include "kit/crash/capture/EMBDataHelpers.h"
#include "kit/crash/capture/EMBFile.h"
#include "kit/crash/capture/EMBFileReader.h"
#include "kit/crash/capture/EMBSDKLog.h"
#include "platform/foundation/Dictionary.h"
#include "platform/foundation/Json.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

namespace kit {
namespace {

using platform::foundation::DictionaryRef;

// The "kv" objects of one file, or none.
std::vector<DictionaryRef> kvRecords(const std::string& path)
{
    std::vector<DictionaryRef> out;
    auto sections = EMBFileReadSections(
        path, false, [](DictionaryRef record) { return record->get("kv").dictionary(); });
    if (sections)
        out = std::move(sections->records);
    return out;
}

// Key hex → value hex, oldest key first, so that a truncation drops the oldest keys.
class KeyValueSet {
public:
    void apply(const DictionaryRef& record)
    {
        auto key = record->get("key");
        if (!key.string())
            return;
        auto it = std::find_if(m_entries.begin(), m_entries.end(),
            [&](const auto& entry) { return entry.first == *key.string(); });
        auto value = record->get("value");
        if (!value.string()) {
            if (it != m_entries.end())
                m_entries.erase(it);
        } else if (it != m_entries.end()) {
            it->second = *value.string();
        } else {
            m_entries.emplace_back(*key.string(), *value.string());
        }
    }
    // Drops the oldest entries beyond `count`.
    void keepNewest(std::size_t count)
    {
        if (m_entries.size() > count)
            m_entries.erase(m_entries.begin(), m_entries.end() - static_cast<std::ptrdiff_t>(count));
    }
    std::size_t size() const { return m_entries.size(); }
    const std::vector<std::pair<std::string, std::string>>& entries() const { return m_entries; }

private:
    std::vector<std::pair<std::string, std::string>> m_entries;
};

}

void EMBUserLoggingRecordKeyValue(const std::string& key, const std::optional<std::string>& value,
    const EMBKeyValueStorage* storage, std::uint32_t* counter)
{
    auto* queue = EMBUserLoggingQueue();
    if (queue == nullptr)
        return;
    queue->sync([&] { EMBUserLoggingWriteKeyValue(key, value, storage, counter); });
}

bool EMBUserLoggingWriteKeyValue(const std::string& key, const std::optional<std::string>& value,
    const EMBKeyValueStorage* storage, std::uint32_t* counter)
{
    if (storage == nullptr || counter == nullptr) {
        EMBSDKFileLog("%s: Bad parameters\n", __func__);
        return false;
    }
    auto* queue = EMBUserLoggingQueue();
    if (queue == nullptr || !queue->isCurrent()) {
        EMBSDKFileLog("%s: Error: k-v write off the logging queue\n", __func__);
        return false;
    }
    EMBFile file;
    if (!EMBFileInitWithPath(&file, storage->incrementalPath.c_str(), true)) {
        EMBSDKFileLog("%s: Unable to open k-v file\n", __func__);
        return false;
    }
    EMBFileWriteSectionStart(&file, "kv");
    EMBFileWriteHashStart(&file);
    EMBFileWriteHashEntryHexEncodedString(&file, "key", key.c_str());
    EMBFileWriteHashEntryHexEncodedString(&file, "value", value ? value->c_str() : nullptr);
    EMBFileWriteHashEnd(&file);
    EMBFileWriteSectionEnd(&file);
    EMBFileClose(&file);
    if (++*counter >= storage->compactionThreshold) {
        *counter = 0;
        queue->async([storage] { EMBUserLoggingCompactKVEntries(storage); });
    }
    return true;
}

void EMBUserLoggingCompactKVEntries(const EMBKeyValueStorage* storage)
{
    if (storage == nullptr) {
        EMBSDKFileLog("%s: Error: storage invalid\n", __func__);
        return;
    }
    KeyValueSet set;
    for (const auto& record : kvRecords(storage->compactedPath))
        set.apply(record);
    for (const auto& record : kvRecords(storage->incrementalPath))
        set.apply(record);
    if (set.size() > storage->maxCountOfKeys) {
        EMBSDKFileLog("%s: Truncating KV set, which is above max %d\n", __func__,
            static_cast<int>(storage->maxCountOfKeys));
        set.keepNewest(storage->maxCountOfKeys);
    }
    auto temporary = EMBFileManager::temporaryPathFor(storage->compactedPath);
    EMBUnlinkIfExists(temporary.c_str());
    EMBFile file;
    if (!EMBFileInitWithPathMode(&file, temporary.c_str(), false, true)) {
        EMBSDKFileLog("%s: Error: Unable to open compacted k-v file\n", __func__);
        return;
    }
    bool ok = true;
    for (const auto& [key, value] : set.entries()) {
        // The stored hex texts go back unchanged: they are written as plain strings.
        ok = EMBFileWriteSectionStart(&file, "kv") && ok;
        ok = EMBFileWriteHashStart(&file) && ok;
        ok = EMBFileWriteHashEntryString(&file, "key", key.c_str()) && ok;
        ok = EMBFileWriteHashEntryString(&file, "value", value.c_str()) && ok;
        ok = EMBFileWriteHashEnd(&file) && ok;
        ok = EMBFileWriteSectionEnd(&file) && ok;
    }
    ok = EMBFileClose(&file) && ok;
    if (!ok || std::rename(temporary.c_str(), storage->compactedPath.c_str()) != 0) {
        EMBSDKFileLog(
            "%s: Error: Unable to replace compacted KV store %s\n", __func__, storage->compactedPath.c_str());
        EMBUnlinkIfExists(temporary.c_str());
        return;
    }
    if (!EMBUnlinkIfExists(storage->incrementalPath.c_str()))
        EMBSDKFileLog("%s: Error: Unable to remove incremental KV store after compaction %s\n", __func__,
            storage->incrementalPath.c_str());
}

std::optional<std::vector<DictionaryRef>> EMBUserLoggingStoredKeyValues(const std::string& path)
{
    if (!EMBUserLoggingIsInitialized())
        return std::nullopt;
    auto sections = EMBFileReadSections(
        path, true, [](DictionaryRef record) { return record->get("kv").dictionary(); });
    if (!sections)
        return std::nullopt;
    return std::move(sections->records);
}

std::optional<std::string> EMBValueDescription(const platform::foundation::Value& value)
{
    using Type = platform::foundation::Value::Type;
    switch (value.type()) {
    case Type::Null:
        return std::nullopt;
    case Type::String:
        return *value.string();
    case Type::Bytes:
        return EMBNSDataToNSString(*value.bytes());
    case Type::Bool:
        return *value.boolean() ? "true" : "false";
    case Type::Integer:
    case Type::Real:
        return value.stringValue();
    default:
        return platform::foundation::toJson(value);
    }
}

}
