#pragma once

#include "kit/crash/EMBUserLogging.h"
#include "testing/ChildProcess.h"
#include "testing/TemporaryDirectory.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace kit::testing {

/// A run's logging set up in a fresh report directory, undone at the end of the test.
class UserLoggingFixture : public ::testing::Test {
protected:
    void TearDown() override { EMBUserLoggingDeinit(); }

    /// Sets logging up in the fixture's directory with `limits`.
    void start(const EMBUserLoggingLimits& limits = {});
    /// Waits until queued compactions and turns have run.
    void drain();
    std::string path(const std::string& name) const { return (m_directory.path() / name).string(); }

    ::testing::TemporaryDirectory m_directory;
    EMBUserLoggingStorages m_storages;
    EMBUserLoggingWritableState m_state;
};

/// This test program run as a child on the disabled test `test`, logging into `directory`.
std::unique_ptr<::testing::ChildProcess> startLoggingChild(
    const std::string& test, const std::filesystem::path& directory);
/// In such a child: logging set up in its directory with `limits` (both kept for the child's life).
void startChildLogging(EMBUserLoggingStorages& storages, EMBUserLoggingWritableState& state,
    const EMBUserLoggingLimits& limits);

/// The bytes a hex text stands for.
std::string hexDecode(const std::string& hex);
/// The lines of a file (without line feeds); empty when there is no file.
std::vector<std::string> fileLines(const std::string& path);
/// The store a compacted and an incremental file read back as: decoded key → decoded value.
std::map<std::string, std::string> storedKeys(const std::string& compacted, const std::string& incremental);

}
