#include "platform/foundation/ExecutableImage.h"

#include "testing/ChildProcess.h"
#include "testing/TemporaryDirectory.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>

using platform::foundation::ExecutableImage;
using platform::foundation::VersionTriple;

namespace fs = std::filesystem;

namespace {

// What readelf, the oracle, says of a file's notes.
struct ReadelfNotes {
    std::string buildId;
    std::optional<std::string> abiVersion;
};

// The word that follows `marker` in `text`, or nullopt.
std::optional<std::string> wordAfter(const std::string& text, const std::string& marker)
{
    auto at = text.find(marker);
    if (at == std::string::npos)
        return std::nullopt;
    at += marker.size();
    return text.substr(at, text.find_first_of(" \n", at) - at);
}

ReadelfNotes readelfNotes(const fs::path& path)
{
    testing::ChildProcess readelf({ "/usr/bin/readelf", "-n", path.string() });
    std::string output = readelf.readAll(std::chrono::seconds(10));
    return { wordAfter(output, "Build ID: ").value_or(""), wordAfter(output, "OS: Linux, ABI: ") };
}

std::string hex(const platform::foundation::Bytes& bytes)
{
    static constexpr char digits[] = "0123456789abcdef";
    std::string text;
    for (auto byte : bytes) {
        text += digits[byte >> 4];
        text += digits[byte & 0x0F];
    }
    return text;
}

void writeFile(const fs::path& path, const std::string& content)
{
    std::ofstream(path, std::ios::binary) << content;
}

std::string readStart(const fs::path& path, std::size_t length)
{
    std::string start(length, '\0');
    std::ifstream(path, std::ios::binary).read(start.data(), static_cast<std::streamsize>(length));
    return start;
}

}

TEST(ExecutableImageTest, TheRunningProgramMatchesReadelf)
{
    auto program = ExecutableImage::current();
    ASSERT_TRUE(program);
    EXPECT_EQ(program->path(), fs::read_symlink("/proc/self/exe"));
    auto notes = readelfNotes(program->path());
    ASSERT_FALSE(notes.buildId.empty()) << "the test program was linked without a build-id";
    EXPECT_EQ(hex(program->buildId()), notes.buildId);
    EXPECT_EQ(program->uuidString(), notes.buildId.substr(0, 32));
#if defined(__x86_64__)
    EXPECT_EQ(program->architecture(), "x86_64");
#elif defined(__aarch64__)
    EXPECT_EQ(program->architecture(), "arm64");
#endif
    if (notes.abiVersion) {
        ASSERT_TRUE(program->minimumVersion());
        EXPECT_EQ(program->minimumVersion()->string(), *notes.abiVersion);
    }
    EXPECT_EQ(program->builtVersion(), (VersionTriple { __GLIBC__, __GLIBC_MINOR__, 0 }));
    EXPECT_NE(program->loadAddress(), 0u);
    EXPECT_GT(program->textSize(), 0u);
}

TEST(ExecutableImageTest, TheProgramReadFromDiskIsTheLoadedOne)
{
    auto loaded = ExecutableImage::current();
    auto file = ExecutableImage::open("/proc/self/exe");
    ASSERT_TRUE(loaded && file);
    EXPECT_EQ(file->buildId(), loaded->buildId());
    EXPECT_EQ(file->architecture(), loaded->architecture());
    EXPECT_EQ(file->minimumVersion(), loaded->minimumVersion());
    EXPECT_EQ(file->loadAddress(), 0u);
    EXPECT_FALSE(file->builtVersion());
}

TEST(ExecutableImageTest, LoadedLibrariesCarryTheirOwnBuildIds)
{
    auto images = ExecutableImage::loadedImages();
    ASSERT_GE(images.size(), 2u);
    EXPECT_EQ(images.front().path(), fs::read_symlink("/proc/self/exe"));
    auto foundation = std::find_if(images.begin(), images.end(),
        [](const auto& image) { return image.path().filename() == "libplatform_foundation.so"; });
    ASSERT_NE(foundation, images.end());
    EXPECT_EQ(hex(foundation->buildId()), readelfNotes(foundation->path()).buildId);
    EXPECT_NE(foundation->buildId(), images.front().buildId());
    // This very function lies in the program's code.
    auto here = reinterpret_cast<std::uintptr_t>(&readelfNotes);
    EXPECT_GE(here, images.front().loadAddress());
    EXPECT_LT(here, images.front().loadAddress() + images.front().textSize());
}

TEST(ExecutableImageTest, FilesThatAreNotWholeElfImagesAreRefused)
{
    testing::TemporaryDirectory folder;
    std::string program = readStart("/proc/self/exe", 100);
    struct Case {
        const char* name;
        std::string content;
    };
    const Case cases[] = {
        { "empty", "" },
        { "text", "#!/bin/sh\necho not an image\n" },
        { "magic only",
            std::string("\x7f"
                        "ELF",
                4) },
        { "cut inside the headers", program.substr(0, 100) },
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.name);
        writeFile(folder.path() / "image", test.content);
        EXPECT_FALSE(ExecutableImage::open(folder.path() / "image"));
    }
    EXPECT_FALSE(ExecutableImage::open(folder.path() / "missing"));
    EXPECT_FALSE(ExecutableImage::open(folder.path()));
}

TEST(ExecutableImageTest, AnImageWithoutBuildIdHasNoUuid)
{
    testing::TemporaryDirectory folder;
    fs::path stripped = folder.path() / "stripped";
    testing::ChildProcess objcopy({ "/usr/bin/objcopy", "--remove-section=.note.gnu.build-id",
        fs::read_symlink("/proc/self/exe").string(), stripped.string() });
    ASSERT_EQ(objcopy.wait(std::chrono::seconds(30)), 0);
    auto image = ExecutableImage::open(stripped);
    ASSERT_TRUE(image);
    EXPECT_TRUE(image->buildId().empty());
    EXPECT_FALSE(image->uuid());
    EXPECT_FALSE(image->uuidString());
}

TEST(ExecutableImageTest, VersionsFormatAsThreeNumbers)
{
    EXPECT_EQ((VersionTriple { 9, 2, 1 }).string(), "9.2.1");
    EXPECT_EQ((VersionTriple {}).string(), "0.0.0");
}
