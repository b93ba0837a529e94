#include "kit/crash/EMBFileManager.h"

#include "kit/crash/EMBInternalReport.h"
#include "platform/foundation/Log.h"
#include "testing/TemporaryDirectory.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sys/stat.h>

namespace kit {
namespace {

namespace fs = std::filesystem;

class EMBFileManagerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::foundation::Log::setCapture([this](const std::string& line) { m_log.push_back(line); });
    }
    void TearDown() override { platform::foundation::Log::setCapture({}); }

    static void touch(const fs::path& path, const std::string& text = "x")
    {
        fs::create_directories(path.parent_path());
        std::ofstream(path) << text;
    }
    static std::vector<std::string> names(const std::vector<std::string>& paths)
    {
        std::vector<std::string> out;
        for (const auto& path : paths)
            out.push_back(fs::path(path).filename().string());
        return out;
    }

    ::testing::TemporaryDirectory m_directory;
    EMBFileManager m_manager { (m_directory.path() / "com.ember.data" / "com.zorvik.app").string() };
    std::vector<std::string> m_log;
};

TEST_F(EMBFileManagerTest, ANewLaunchLaysOutItsDirectoriesWithMode0755)
{
    umask(077);
    ASSERT_TRUE(m_manager.prepareForNewLaunch());
    auto report = m_manager.setupNewPathForExecutionIdentifier("0123abcd");
    umask(022);
    ASSERT_TRUE(report);
    EXPECT_EQ(*report, m_manager.activePath() + "/0123abcd");
    EXPECT_EQ(m_manager.activePath(), m_manager.rootPath() + "/v3/active");
    for (const auto& path :
        { m_manager.activePath(), m_manager.processingPath(), m_manager.preparedPath(), *report }) {
        struct stat status { };
        ASSERT_EQ(stat(path.c_str(), &status), 0) << path;
        EXPECT_EQ(status.st_mode & 0777, 0755u) << path;
    }
    EXPECT_FALSE(fs::exists(m_manager.pendingPath()));
    EXPECT_FALSE(m_manager.setupNewPathForExecutionIdentifier(""));
}

TEST_F(EMBFileManagerTest, DotNamesAreNeverListedOrMovedAndAStartDeletesThem)
{
    ASSERT_TRUE(m_manager.prepareForNewLaunch());
    fs::path processing = m_manager.processingPath();
    fs::path prepared = m_manager.preparedPath();
    touch(processing / "r1" / "signal.embrecord");
    touch(processing / "r1" / ".signal.embrecord.symbolicated");
    touch(processing / ".r2");
    touch(prepared / "B0UND.multipartmime");
    touch(prepared / ".B1UND.multipartmime");
    touch(fs::path(m_manager.activePath()) / "old" / ".user_compacted_kv.embrecord");

    EXPECT_EQ(names(m_manager.processingPathContents()), std::vector<std::string> { "r1" });
    std::vector<std::pair<std::string, std::string>> seen;
    m_manager.enumerateFilesInPreparedDirectory(
        [&](const std::string& path, const std::string& extension) { seen.emplace_back(path, extension); });
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(
        seen[0], std::make_pair(prepared.string() + "/B0UND.multipartmime", std::string("multipartmime")));

    ASSERT_TRUE(m_manager.moveProcessingContentsToPrepared());
    EXPECT_TRUE(fs::exists(prepared / "r1"));
    EXPECT_TRUE(fs::exists(processing / ".r2"));

    ASSERT_TRUE(m_manager.prepareForNewLaunch());
    EXPECT_FALSE(fs::exists(processing / ".r2"));
    EXPECT_FALSE(fs::exists(prepared / ".B1UND.multipartmime"));
    EXPECT_FALSE(fs::exists(prepared / "r1" / ".signal.embrecord.symbolicated"));
    EXPECT_FALSE(fs::exists(fs::path(m_manager.activePath()) / "old" / ".user_compacted_kv.embrecord"));
    EXPECT_TRUE(fs::exists(prepared / "B0UND.multipartmime"));
    EXPECT_TRUE(fs::exists(prepared / "r1" / "signal.embrecord"));
}

TEST_F(EMBFileManagerTest, MovingAllStopsAtTheFirstFailure)
{
    ASSERT_TRUE(m_manager.prepareForNewLaunch());
    fs::path processing = m_manager.processingPath();
    fs::path prepared = m_manager.preparedPath();
    for (const char* name : { "a", "b", "c", "d" })
        touch(processing / name / "metadata.embrecord");
    touch(prepared / "b" / "occupied");

    EXPECT_FALSE(m_manager.moveProcessingContentsToPrepared());
    EXPECT_TRUE(fs::exists(prepared / "a" / "metadata.embrecord"));
    EXPECT_EQ(names(m_manager.processingPathContents()), (std::vector<std::string> { "b", "c", "d" }));
    ASSERT_FALSE(m_log.empty());
    EXPECT_TRUE(m_log.back().starts_with("[FileManager] Failed to move file: ")) << m_log.back();

    EXPECT_FALSE(m_manager.moveItemAtPath("", m_manager.preparedPath()));
    EXPECT_EQ(m_log.back(), "[FileManager] Failed to move file, inputs invalid");
}

TEST_F(EMBFileManagerTest, TheLegacyMarkerDeletesTheWholeRoot)
{
    fs::path root = m_manager.rootPath();
    touch(root / "v3" / "active" / "r1" / "signal.embrecord");
    touch(root / "analytics" / "events.log");
    m_manager.removeLegacyDirectories();
    EXPECT_TRUE(fs::exists(root / "analytics"));
    EXPECT_TRUE(m_log.empty());

    touch(root / "sendable");
    m_manager.removeLegacyDirectories();
    EXPECT_FALSE(fs::exists(root));
    EXPECT_EQ(m_log,
        std::vector<std::string> { "[Ember:FileManager] Removed legacy structure at " + root.string() });
}

TEST_F(EMBFileManagerTest, EmptyingAndSizes)
{
    ASSERT_TRUE(m_manager.prepareForNewLaunch());
    touch(fs::path(m_manager.activePath()) / "r1" / "log_a.embrecord");
    touch(fs::path(m_manager.preparedPath()) / "P.multipartmime", "12345");
    touch(fs::path(m_manager.preparedPath()) / ".Q.multipartmime");
    EXPECT_EQ(m_manager.fileSizeAtPath(m_manager.preparedPath() + "/P.multipartmime"), 5u);
    EXPECT_FALSE(m_manager.fileSizeAtPath(m_manager.preparedPath() + "/none"));
    EXPECT_TRUE(m_log.back().starts_with("[Client] Unable to read file size: "));

    EXPECT_TRUE(m_manager.removeContentsOfAllPaths());
    EXPECT_TRUE(fs::is_empty(m_manager.activePath()));
    EXPECT_TRUE(fs::is_empty(m_manager.preparedPath()));
    EXPECT_FALSE(m_manager.removeItemAtPath(m_manager.preparedPath() + "/gone"));
}

TEST_F(EMBFileManagerTest, AnAtomicRemovalLeavesNothingOrADotEntry)
{
    ASSERT_TRUE(m_manager.prepareForNewLaunch());
    auto report = fs::path(m_manager.processingPath()) / "r1";
    touch(report / "metadata.embrecord");
    touch(report / "signal.embrecord");
    // What a removal killed midway left of an earlier copy.
    touch(fs::path(m_manager.processingPath()) / ".r1" / "signal.embrecord");

    EXPECT_TRUE(m_manager.removeItemAtomicallyAtPath(report.string()));
    EXPECT_TRUE(fs::is_empty(m_manager.processingPath()));
    EXPECT_FALSE(m_manager.removeItemAtomicallyAtPath(report.string()));
    EXPECT_TRUE(m_log.back().starts_with("[FileManager] Failed to remove file '" + report.string()));
}

}
}
