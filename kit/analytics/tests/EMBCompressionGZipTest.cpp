#include "kit/analytics/EMBCompressionGZip.h"

#include "testing/TemporaryDirectory.h"
#include "testing/backend/CrashReportStore.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <random>

namespace kit {
namespace {

namespace fs = std::filesystem;

std::string contentOf(const fs::path& file)
{
    std::ifstream input(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(input), {});
}

// The process's own functions, less the one named `missing`.
template<const char* missing> void* lookupWithout(const char* name)
{
    return std::strcmp(name, missing) == 0 ? nullptr : EMBDefaultSymbolLookup(name);
}
constexpr char kDeflate[] = "deflate";
constexpr char kDeflateInit[] = "deflateInit2_";

class EMBCompressionGZipTest : public ::testing::Test {
protected:
    fs::path source(const std::string& content)
    {
        auto path = directory.path() / "1.log";
        std::ofstream(path, std::ios::binary) << content;
        return path;
    }

    ::testing::TemporaryDirectory directory;
    fs::path destination { directory.path() / "1.log.zip" };
};

TEST_F(EMBCompressionGZipTest, WritesAGzipMemberThatInflatesToTheFile)
{
    std::string lines;
    for (int index = 0; lines.size() < 50'000; ++index)
        lines += "1421236800" + std::to_string(index) + "\tapp_launched\t16\t{\"eventId\":\"E-1\"}\n";
    std::mt19937 random(7);
    std::string noise(20'000, '\0');
    for (auto& byte : noise)
        byte = static_cast<char>(random());

    struct Case {
        const char* name;
        std::string content;
    };
    // Noise compresses to more than its chunk size: each chunk's output is written whole all the same.
    const Case cases[] = { { "an empty file", "" }, { "one line", "5\tk\n" },
        { "many chunks of lines", lines }, { "bytes that do not compress", noise } };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.name);
        ASSERT_TRUE(EMBCompressionGZipFile(source(test.content), destination));
        auto packed = contentOf(destination);
        ASSERT_GE(packed.size(), 18u);
        EXPECT_EQ(packed.substr(0, 2), "\x1f\x8b");
        EXPECT_EQ(testing::CrashReportStore::gunzip(packed), test.content);
    }
}

TEST_F(EMBCompressionGZipTest, FailsWithoutZlibOrAFileToReadOrWrite)
{
    auto log = source("5\tk\n");
    EXPECT_FALSE(EMBCompressionGZipFile(log, destination, lookupWithout<kDeflate>));
    EXPECT_FALSE(EMBCompressionGZipFile(log, destination, lookupWithout<kDeflateInit>));
    EXPECT_FALSE(EMBCompressionGZipFile(directory.path() / "missing.log", destination));
    EXPECT_FALSE(EMBCompressionGZipFile(log, directory.path() / "missing" / "1.log.zip"));

    FILE* input = std::fopen(log.c_str(), "r");
    FILE* output = std::fopen(destination.c_str(), "w+");
    ASSERT_TRUE(input && output);
    EXPECT_EQ(EMBCompressionGZipSrcToDest(input, output, lookupWithout<kDeflate>), -1);
    EXPECT_EQ(EMBCompressionGZipSrcToDest(input, output), 0);
    std::fclose(input);
    std::fclose(output);
    EXPECT_EQ(testing::CrashReportStore::gunzip(contentOf(destination)), "5\tk\n");
}

}
}
