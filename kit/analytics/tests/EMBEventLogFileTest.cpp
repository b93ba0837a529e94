#include "kit/analytics/EMBEventLogFile.h"
#include "kit/analytics/EMBEventLogEventFile.h"

#include "kit/analytics/EMBAnalyticsMetadataEvent.h"
#include "kit/analytics/EMBEventLogEvent.h"

#include "testing/TemporaryDirectory.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fstream>
#include <sys/resource.h>

namespace kit {
namespace {

namespace fs = std::filesystem;
using platform::foundation::Bytes;
using platform::foundation::Error;

std::string contentOf(const fs::path& file)
{
    std::ifstream input(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(input), {});
}

Bytes bytes(std::string_view text)
{
    return Bytes(text.begin(), text.end());
}

class EMBEventLogFileTest : public ::testing::Test {
protected:
    ::testing::TemporaryDirectory directory;
};

TEST_F(EMBEventLogFileTest, AppendsEventLinesToANewOrAnExistingFile)
{
    auto file = EMBEventLogEventFile::create("1.log", directory.path());
    ASSERT_NE(file, nullptr);
    EXPECT_TRUE(fs::exists(directory.path() / "1.log"));
    EXPECT_EQ(file->fileSize(), 0u);
    ASSERT_TRUE(file->appendEvent(EMBAnalyticsMetadataEvent(1, 5, bytes("{}"))));
    ASSERT_TRUE(file->appendEvent(EMBEventLogEvent(1, 6, "app_launched")));
    EXPECT_EQ(file->fileSize(), 31u);
    file.reset();
    EXPECT_EQ(contentOf(directory.path() / "1.log"), "5\tmetadata\t2\t{}\n6\tapp_launched\n");

    // Opened again, the file is appended to, never emptied.
    auto reopened = EMBEventLogEventFile::create(directory.path() / "1.log");
    ASSERT_NE(reopened, nullptr);
    EXPECT_EQ(reopened->fileSize(), 31u);
    ASSERT_TRUE(reopened->appendEvent(EMBEventLogEvent(1, 7, "app_terminated")));
    EXPECT_EQ(reopened->fileSize(), 48u);
    EXPECT_EQ(
        contentOf(directory.path() / "1.log"), "5\tmetadata\t2\t{}\n6\tapp_launched\n7\tapp_terminated\n");
}

TEST_F(EMBEventLogFileTest, ReadsResetsAndGoesOnAppending)
{
    auto file = EMBEventLogFile::create(directory.path() / "0.log");
    ASSERT_NE(file, nullptr);
    ASSERT_TRUE(file->appendData(bytes("one\n")));
    EXPECT_EQ(file->readFromFile(), bytes("one\n"));
    EXPECT_TRUE(file->isOpen());
    ASSERT_TRUE(file->appendData(bytes("two\n")));
    EXPECT_EQ(contentOf(file->fileURL()), "one\ntwo\n");

    ASSERT_TRUE(file->resetFile());
    EXPECT_EQ(file->fileSize(), 0u);
    ASSERT_TRUE(file->appendData(bytes("three\n")));
    EXPECT_EQ(contentOf(file->fileURL()), "three\n") << "no gap where the old content was";

    // Deleted under it, the file can be neither read nor opened again.
    fs::remove(file->fileURL());
    std::optional<Error> error;
    EXPECT_EQ(file->readFromFile(&error), std::nullopt);
    EXPECT_TRUE(error);
    EXPECT_FALSE(file->isOpen());
}

TEST_F(EMBEventLogFileTest, ReplacesADirectoryInTheWayAndFailsWhereNoFileCanBe)
{
    fs::create_directories(directory.path() / "2.log" / "inside");
    auto file = EMBEventLogFile::create(directory.path() / "2.log");
    ASSERT_NE(file, nullptr);
    EXPECT_TRUE(fs::is_regular_file(directory.path() / "2.log"));

    EXPECT_EQ(EMBEventLogFile::create(directory.path() / "missing" / "0.log"), nullptr);
}

// The process may write files of at most `limit` bytes while it lives; writing past it fails with EFBIG
// instead of raising SIGXFSZ.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t limit)
    {
        getrlimit(RLIMIT_FSIZE, &m_saved);
        m_handler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limited { limit, m_saved.rlim_max };
        setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_saved);
        std::signal(SIGXFSZ, m_handler);
    }

private:
    rlimit m_saved {};
    void (*m_handler)(int) { nullptr };
};

TEST_F(EMBEventLogFileTest, AnAppendTheDiskTakesOnlyInPartIsUndone)
{
    auto file = EMBEventLogEventFile::create(directory.path() / "2.log");
    ASSERT_NE(file, nullptr);
    ASSERT_TRUE(file->appendEvent(EMBEventLogEvent(2, 1, "first")));
    std::optional<Error> error;
    {
        FileSizeLimit limit(file->fileSize() + 4);
        EXPECT_FALSE(file->appendEvent(EMBEventLogEvent(2, 2, "second", bytes("payload")), &error));
    }
    ASSERT_TRUE(error);
    EXPECT_EQ(error->code(), EFBIG);
    EXPECT_EQ(file->fileSize(), 8u);
    EXPECT_EQ(contentOf(file->fileURL()), "1\tfirst\n") << "no half line is left";
    ASSERT_TRUE(file->appendEvent(EMBEventLogEvent(2, 3, "third")));
    EXPECT_EQ(contentOf(file->fileURL()), "1\tfirst\n3\tthird\n");
}

}
}
