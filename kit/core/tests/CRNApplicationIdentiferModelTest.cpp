#include "kit/core/CRNApplicationIdentiferModel.h"

#include "kit/core/EMBMachO.h"

#include "platform/foundation/Dictionary.h"
#include "platform/foundation/Files.h"
#include "platform/foundation/PropertyList.h"

#include "testing/ChildProcess.h"
#include "testing/TemporaryDirectory.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

namespace kit {
namespace {

namespace fs = std::filesystem;
using platform::foundation::Dictionary;
using platform::foundation::ExecutableImage;
using platform::foundation::Files;
using platform::foundation::Value;

std::string wordAfter(const std::string& text, const std::string& marker)
{
    auto at = text.find(marker);
    if (at == std::string::npos)
        return {};
    at += marker.size();
    return text.substr(at, text.find_first_of(" \n", at) - at);
}

// SHA-1 of `text` as sha1sum, the oracle, gives it.
std::string sha1sum(const std::string& text)
{
    testing::ChildProcess tool({ "/usr/bin/sha1sum" });
    tool.write(text);
    tool.closeInput();
    return tool.readAll(std::chrono::seconds(10)).substr(0, 40);
}

// The UUID llvm-otool, the oracle, reads in a thin Mach-O file, as 32 lower-case hex digits.
std::string otoolUUID(const fs::path& path)
{
    testing::ChildProcess tool({ ZORVIK_LLVM_OTOOL, "-l", path.string() });
    auto uuid = wordAfter(tool.readAll(std::chrono::seconds(10)), " uuid ");
    std::erase(uuid, '-');
    std::transform(uuid.begin(), uuid.end(), uuid.begin(), ::tolower);
    return uuid;
}

fs::path fixture(const std::string& name)
{
    return fs::path(ZORVIK_MACHO_FIXTURES) / name;
}

// The identity reads the app's bundle: a bundle of the test's own, without icons.
class CRNApplicationIdentiferModelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        auto info = Dictionary::make({ { "CFBundleIdentifier", "com.zorvik/Zorvik" } });
        ASSERT_TRUE(Files::writeText(
            m_bundle.path() / "Info.plist", *platform::foundation::PropertyList::xml(Value(info))));
        Files::setBundleDirectory(m_bundle.path());
    }
    void TearDown() override { Files::setBundleDirectory({}); }

    testing::TemporaryDirectory m_bundle;
};

TEST_F(CRNApplicationIdentiferModelTest, TheRunningProgramIsKnownByItsBuildId)
{
    auto model = CRNApplicationIdentiferModel::initWithInstallID("INSTALL-1");
    ASSERT_TRUE(model);

    testing::ChildProcess readelf({ "/usr/bin/readelf", "-n", fs::read_symlink("/proc/self/exe").string() });
    auto notes = readelf.readAll(std::chrono::seconds(10));
    auto uuid = wordAfter(notes, "Build ID: ").substr(0, 32);
    ASSERT_EQ(uuid.size(), 32u);
    EXPECT_EQ(model->architectureUUIDMap(),
        (CRNApplicationIdentiferModel::ArchitectureUUIDMap { { "x86_64", uuid } }));
    EXPECT_EQ(model->instanceIdentifier(), sha1sum(uuid));
    auto abi = wordAfter(notes, "OS: Linux, ABI: ");
    EXPECT_EQ(model->minimumSDKString(), abi.empty() ? "0.0.0" : abi);
    EXPECT_EQ(model->installID(), "INSTALL-1");
    EXPECT_EQ(model->bundleIdentifier(), "com.zorvik_Zorvik");
    EXPECT_FALSE(model->icon());
}

TEST_F(CRNApplicationIdentiferModelTest, AFatFileIsKnownByItsSlicesInArchitectureOrder)
{
    auto file = EMBMachOFile::initWithPath(fixture("tiny-fat"));
    ASSERT_TRUE(file);
    auto model = CRNApplicationIdentiferModel::initWithInstallID("INSTALL-2", *file);
    ASSERT_TRUE(model);
    auto arm64 = otoolUUID(fixture("tiny-arm64"));
    auto x86 = otoolUUID(fixture("tiny-x86_64"));
    ASSERT_NE(arm64, x86);
    EXPECT_EQ(model->architectureUUIDMap(),
        (CRNApplicationIdentiferModel::ArchitectureUUIDMap { { "arm64", arm64 }, { "x86_64", x86 } }));
    EXPECT_EQ(model->instanceIdentifier(), sha1sum(arm64 + x86));
    EXPECT_EQ(model->minimumSDKString(), "8.4.0");
    EXPECT_EQ(model->builtSDKString(), "9.0.0");

    auto thin = EMBMachOFile::initWithPath(fixture("tiny-x86_64"));
    ASSERT_TRUE(thin);
    EXPECT_EQ(CRNApplicationIdentiferModel::initWithInstallID("INSTALL-2", *thin)->instanceIdentifier(),
        sha1sum(x86));
}

TEST_F(CRNApplicationIdentiferModelTest, NoIdentifierNoModel)
{
    testing::TemporaryDirectory folder;
    auto stripped = folder.path() / "stripped";
    testing::ChildProcess objcopy({ "/usr/bin/objcopy", "--remove-section=.note.gnu.build-id",
        fs::read_symlink("/proc/self/exe").string(), stripped.string() });
    ASSERT_EQ(objcopy.wait(std::chrono::seconds(30)), 0);
    auto image = ExecutableImage::open(stripped);
    ASSERT_TRUE(image);
    EXPECT_FALSE(CRNApplicationIdentiferModel::initWithInstallID("I", *image));

    ASSERT_TRUE(Files::writeText(folder.path() / "text", "no executable, only some text"));
    auto text = EMBMachOFile::initWithPath(folder.path() / "text");
    ASSERT_TRUE(text);
    EXPECT_FALSE(CRNApplicationIdentiferModel::initWithInstallID("I", *text));
}

TEST_F(CRNApplicationIdentiferModelTest, TheIconIsTheBundles)
{
    Files::setBundleDirectory(ZORVIK_APP_RESOURCES);
    auto model = CRNApplicationIdentiferModel::initWithInstallID("I");
    ASSERT_TRUE(model);
    ASSERT_TRUE(model->icon());
    EXPECT_EQ(model->icon()->size().width, 152);
    EXPECT_EQ(model->bundleIdentifier(), "com.zorvik.Zorvik");
}

}
}
