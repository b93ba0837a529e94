#include "platform/foundation/Files.h"

#include "testing/TemporaryDirectory.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <utility>
#include <vector>

using platform::foundation::Bytes;
using platform::foundation::Files;

namespace fs = std::filesystem;

namespace {

// Points the app's home and resource folders at a fresh temporary folder.
class FilesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Files::setHomeDirectory(m_home.path());
        Files::setBundleDirectory(m_bundle.path());
    }

    void TearDown() override
    {
        Files::setHomeDirectory({});
        Files::setBundleDirectory({});
    }

    fs::path documents() const { return m_home.path() / "Documents"; }

    static void writeRaw(const fs::path& path, const std::string& content)
    {
        std::ofstream(path, std::ios::binary) << content;
    }

    static std::size_t entriesIn(const fs::path& folder)
    {
        return static_cast<std::size_t>(
            std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
    }

    testing::TemporaryDirectory m_home;
    testing::TemporaryDirectory m_bundle;
};

}

TEST_F(FilesTest, DocumentsLiveUnderTheHomeFolderAndAreCreatedOnDemand)
{
    EXPECT_FALSE(fs::exists(documents()));
    EXPECT_EQ(Files::documentsDirectory(), documents());
    EXPECT_TRUE(fs::is_directory(documents()));
    EXPECT_EQ(Files::preferencesDirectory(), m_home.path() / "Library" / "Preferences");
    EXPECT_EQ(Files::applicationSupportDirectory(), m_home.path() / "Library" / "Application Support");
    EXPECT_EQ(Files::cachesDirectory(), m_home.path() / "Library" / "Caches");
    EXPECT_TRUE(fs::is_directory(m_home.path() / "Library" / "Caches"));

    // A home folder that cannot hold a Documents folder (it is a file) gives none.
    writeRaw(m_home.path() / "file", "x");
    Files::setHomeDirectory(m_home.path() / "file");
    EXPECT_EQ(Files::documentsDirectory(), std::nullopt);
    EXPECT_EQ(Files::cachesDirectory(), std::nullopt);
}

TEST_F(FilesTest, TextRoundTripsAndAWriteReplacesTheWholeFile)
{
    fs::path user = *Files::documentsDirectory() / "user";
    EXPECT_EQ(Files::readText(user), std::nullopt);
    ASSERT_TRUE(Files::writeText(user, "a-much-longer-address@example.com"));
    ASSERT_TRUE(Files::writeText(user, "jo@example.com \u00e9\U0001F600"));
    EXPECT_EQ(Files::readText(user), "jo@example.com \u00e9\U0001F600");
    ASSERT_TRUE(Files::writeText(user, ""));
    EXPECT_EQ(Files::readText(user), "");
    // Nothing is left beside the file by the atomic writes.
    EXPECT_EQ(entriesIn(documents()), 1u);
}

TEST_F(FilesTest, TextThatIsNotUtf8ReadsAsNothingButItsBytesRemain)
{
    fs::path file = *Files::documentsDirectory() / "latin1";
    writeRaw(file, "caf\xe9");
    EXPECT_EQ(Files::readText(file), std::nullopt);
    EXPECT_EQ(Files::readBytes(file), (Bytes { 'c', 'a', 'f', 0xe9 }));
}

TEST_F(FilesTest, BytesRoundTripIncludingZeros)
{
    fs::path logo = *Files::documentsDirectory() / "logo.png";
    Bytes bytes { 0x89, 'P', 'N', 'G', 0x00, 0x0d, 0x0a, 0xff };
    ASSERT_TRUE(Files::writeBytes(logo, bytes));
    EXPECT_EQ(Files::readBytes(logo), bytes);
    ASSERT_TRUE(Files::writeBytes(logo, {}));
    EXPECT_EQ(Files::readBytes(logo), Bytes {});
    EXPECT_EQ(Files::readBytes(documents() / "missing"), std::nullopt);
}

// A file is read to its end, not to the size it told when opened: a kernel file tells none.
TEST_F(FilesTest, AFileThatTellsNoSizeIsReadWhole)
{
    auto status = Files::readText("/proc/self/status");
    ASSERT_TRUE(status);
    EXPECT_TRUE(status->starts_with("Name:")) << *status;
    EXPECT_NE(status->find("\nPid:"), std::string::npos);
}

TEST_F(FilesTest, FailedWritesReportFailureAndLeaveNothingBehind)
{
    EXPECT_FALSE(Files::writeText(m_home.path() / "no-such-folder" / "user", "x"));
    EXPECT_FALSE(Files::writeText(*Files::documentsDirectory(), "x"));
    fs::create_directories(documents() / "folder");
    EXPECT_FALSE(Files::writeText(documents() / "folder", "x"));
    EXPECT_TRUE(fs::is_directory(documents() / "folder"));
    EXPECT_EQ(entriesIn(documents()), 1u);
    EXPECT_EQ(Files::readText(documents() / "folder"), std::nullopt);
}

TEST_F(FilesTest, TemporaryFilesOfKilledWritersGoWhenTheFolderIsFirstOpened)
{
    // Left as a writer killed mid-write leaves them, before the app opens its folders.
    fs::path preferences = m_home.path() / "Library" / "Preferences";
    fs::create_directories(documents());
    fs::create_directories(preferences);
    const std::vector<std::pair<fs::path, bool>> files {
        { documents() / ".user.tmp-aB3dE9", false },
        { documents() / ".user.data.tmp-000000", false },
        { preferences / ".defaults.json.tmp-Zz9Yy8", false },
        { documents() / ".live.tmp-LiVe01", true },
        { documents() / "user", true },
        { documents() / "notes.tmp-aB3dE9", true },
        { documents() / ".user.tmp-short", true },
        { documents() / ".user.tmp-aB3dE9.bak", true },
    };
    for (const auto& [path, kept] : files)
        writeRaw(path, "partly written");
    int live = ::open((documents() / ".live.tmp-LiVe01").c_str(), O_RDONLY);
    ASSERT_EQ(::flock(live, LOCK_EX), 0) << "a writer of another process still at work";

    EXPECT_EQ(Files::documentsDirectory(), documents());
    EXPECT_EQ(Files::preferencesDirectory(), preferences);

    for (const auto& [path, kept] : files)
        EXPECT_EQ(fs::exists(path), kept) << path;
    ::close(live);
    EXPECT_TRUE(Files::writeText(documents() / "user", "amy@example.com"));
    EXPECT_EQ(Files::readText(documents() / "user"), "amy@example.com");
}

TEST_F(FilesTest, CopyRemoveAndExists)
{
    fs::path from = *Files::documentsDirectory() / "a";
    fs::path to = documents() / "b";
    ASSERT_TRUE(Files::writeText(from, "first"));
    ASSERT_TRUE(Files::writeText(to, "something longer that must go"));
    EXPECT_TRUE(Files::copy(from, to));
    EXPECT_EQ(Files::readText(to), "first");
    EXPECT_FALSE(Files::copy(documents() / "missing", to));
    EXPECT_EQ(Files::readText(to), "first");

    EXPECT_TRUE(Files::exists(to));
    EXPECT_TRUE(Files::remove(to));
    EXPECT_FALSE(Files::exists(to));
    EXPECT_FALSE(Files::remove(to));
    EXPECT_TRUE(Files::isDirectory(documents()));
    EXPECT_FALSE(Files::isDirectory(from));
}

TEST_F(FilesTest, ResourcesAreFoundInTheBundleAndItsSubfolders)
{
    fs::create_directories(m_bundle.path() / "ZorvikResources" / "fonts");
    writeRaw(m_bundle.path() / "ZorvikResources" / "template.html", "<html>");
    writeRaw(m_bundle.path() / "ZorvikResources" / "fonts" / "a.ttf", "font");
    writeRaw(m_bundle.path() / "Info.json", "{}");

    EXPECT_EQ(Files::resourcePath("template.html", "ZorvikResources"),
        m_bundle.path() / "ZorvikResources" / "template.html");
    EXPECT_EQ(Files::resourcePath("a.ttf", "ZorvikResources/fonts"),
        m_bundle.path() / "ZorvikResources" / "fonts" / "a.ttf");
    EXPECT_EQ(Files::resourcePath("Info.json"), m_bundle.path() / "Info.json");
    EXPECT_EQ(Files::resourcePath("template.html"), std::nullopt);
    EXPECT_EQ(Files::resourcePath("fonts", "ZorvikResources"), std::nullopt);
    EXPECT_EQ(Files::resourcePath(""), std::nullopt);

    // The template files are copied from the bundle into Documents.
    auto source = Files::resourcePath("template.html", "ZorvikResources");
    ASSERT_TRUE(source.has_value());
    EXPECT_TRUE(Files::copy(*source, *Files::documentsDirectory() / "template.html"));
    EXPECT_EQ(Files::readText(documents() / "template.html"), "<html>");
}

TEST(FilesDefaults, DefaultFoldersComeFromTheEnvironment)
{
    testing::TemporaryDirectory home;
    testing::TemporaryDirectory bundle;
    setenv("ZORVIK_HOME", home.path().c_str(), 1);
    setenv("ZORVIK_BUNDLE_DIR", bundle.path().c_str(), 1);
    Files::setHomeDirectory({});
    Files::setBundleDirectory({});
    EXPECT_EQ(Files::homeDirectory(), home.path());
    EXPECT_EQ(Files::documentsDirectory(), home.path() / "Documents");
    EXPECT_EQ(Files::bundleDirectory(), bundle.path());

    unsetenv("ZORVIK_HOME");
    unsetenv("ZORVIK_BUNDLE_DIR");
    Files::setHomeDirectory({});
    Files::setBundleDirectory({});
    EXPECT_NE(Files::homeDirectory(), home.path());
    EXPECT_EQ(Files::bundleDirectory().filename(), "resources");
}
