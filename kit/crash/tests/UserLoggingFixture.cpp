#include "kit/crash/tests/UserLoggingFixture.h"

#include "kit/crash/EMBLoggingQueue.h"
#include "platform/foundation/Dictionary.h"
#include "platform/foundation/Json.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <fstream>
#include <unistd.h>

namespace kit::testing {

namespace {

constexpr const char* kDirectoryVariable { "EMB_LOGGING_DIRECTORY" };

}

void UserLoggingFixture::start(const EMBUserLoggingLimits& limits)
{
    EMBUserLoggingSetUpStorages(&m_storages, &m_state, m_directory.path().string(), limits);
    EMBUserLoggingInit(&m_storages, &m_state);
}

void UserLoggingFixture::drain()
{
    EMBUserLoggingQueue()->waitUntilIdle();
}

std::unique_ptr<::testing::ChildProcess> startLoggingChild(
    const std::string& test, const std::filesystem::path& directory)
{
    char self[PATH_MAX] {};
    if (readlink("/proc/self/exe", self, sizeof self - 1) <= 0)
        return nullptr;
    return std::make_unique<::testing::ChildProcess>(std::vector<std::string> { "/usr/bin/env",
        std::string(kDirectoryVariable) + "=" + directory.string(), "ASAN_OPTIONS=detect_leaks=0", self,
        "--gtest_also_run_disabled_tests", "--gtest_filter=" + test });
}

void startChildLogging(
    EMBUserLoggingStorages& storages, EMBUserLoggingWritableState& state, const EMBUserLoggingLimits& limits)
{
    const char* directory = std::getenv(kDirectoryVariable);
    ASSERT_NE(directory, nullptr);
    EMBUserLoggingSetUpStorages(&storages, &state, directory, limits);
    EMBUserLoggingInit(&storages, &state);
}

std::string hexDecode(const std::string& hex)
{
    std::string out;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
        out.push_back(static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    return out;
}

std::vector<std::string> fileLines(const std::string& path)
{
    std::vector<std::string> lines;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

std::map<std::string, std::string> storedKeys(const std::string& compacted, const std::string& incremental)
{
    std::map<std::string, std::string> keys;
    for (const auto& file : { compacted, incremental }) {
        for (const auto& line : fileLines(file)) {
            auto parsed = platform::foundation::parseJson(line);
            auto record = parsed.value.dictionary();
            if (!parsed.ok() || !record)
                continue;
            auto kv = record->get("kv").dictionary();
            auto key = hexDecode(*kv->get("key").string());
            auto value = kv->get("value");
            if (value.string())
                keys[key] = hexDecode(*value.string());
            else
                keys.erase(key);
        }
    }
    return keys;
}

}
