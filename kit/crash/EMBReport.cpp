#include "kit/crash/EMBReport.h"

#include "kit/crash/EMBUserLogging.h"

namespace kit {

EMBReport::EMBReport(std::shared_ptr<EMBInternalReport> internalReport)
    : m_internalReport(std::move(internalReport))
{
    m_internalStorage.incrementalPath
        = m_internalReport->pathForContentFile("internal_incremental_kv.embrecord");
    m_internalStorage.compactedPath = m_internalReport->pathForContentFile("internal_compacted_kv.embrecord");
    m_userStorage.incrementalPath = m_internalReport->pathForContentFile("user_incremental_kv.embrecord");
    m_userStorage.compactedPath = m_internalReport->pathForContentFile("user_compacted_kv.embrecord");
}

void EMBReport::setObjectValue(const platform::foundation::Value& value, const std::string& key)
{
    record(key, value, false);
}

void EMBReport::setUserIdentifier(const std::string& identifier)
{
    record("com.ember.user-id", identifier, true);
}

void EMBReport::setUserName(const std::string& name)
{
    record("com.ember.user-name", name, true);
}

void EMBReport::setUserEmail(const std::string& email)
{
    record("com.ember.user-email", email, true);
}

void EMBReport::record(const std::string& key, const platform::foundation::Value& value, bool internal)
{
    auto* launch = EMBUserLoggingCurrentStorages();
    if (launch == nullptr)
        return;
    auto& storage = internal ? m_internalStorage : m_userStorage;
    const auto& limits = internal ? launch->internalKVStorage : launch->userKVStorage;
    storage.compactionThreshold = limits.compactionThreshold;
    storage.maxCountOfKeys = limits.maxCountOfKeys;
    EMBUserLoggingRecordKeyValue(
        key, EMBValueDescription(value), &storage, internal ? &m_internalKVCounter : &m_userKVCounter);
}

}
