#include "platform/foundation/Defaults.h"

#include "platform/foundation/Array.h"
#include "platform/foundation/Dictionary.h"
#include "platform/foundation/Files.h"
#include "platform/foundation/Log.h"
#include "testing/TemporaryDirectory.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

using platform::foundation::Array;
using platform::foundation::Date;
using platform::foundation::Defaults;
using platform::foundation::Dictionary;
using platform::foundation::Files;
using platform::foundation::Log;
using platform::foundation::Value;

namespace fs = std::filesystem;

namespace {

class DefaultsTest : public ::testing::Test {
protected:
    fs::path file() const { return m_folder.path() / "defaults.json"; }

    testing::TemporaryDirectory m_folder;
};

}

TEST_F(DefaultsTest, TypedValuesSurviveAReopen)
{
    {
        Defaults defaults(file());
        EXPECT_TRUE(defaults.setValue("hasShownTutorial", true));
        EXPECT_TRUE(defaults.setValue("launches", 3));
        EXPECT_TRUE(defaults.setValue("rate", 17.5));
        EXPECT_TRUE(defaults.setValue("whole", 2.0));
        EXPECT_TRUE(defaults.setValue("email", "jo@example.com"));
        EXPECT_TRUE(defaults.setValue("installation", Date { 1456820100.5 }));
        EXPECT_TRUE(
            defaults.setValue("flags", Dictionary::make({ { "folders", Array::make({ 1, "two" }) } })));
    }
    Defaults reopened(file());
    EXPECT_EQ(reopened.value("hasShownTutorial"), Value(true));
    EXPECT_EQ(reopened.value("launches"), Value(3));
    EXPECT_EQ(reopened.value("rate"), Value(17.5));
    EXPECT_EQ(reopened.value("whole"), Value(2.0));
    EXPECT_EQ(reopened.string("email"), "jo@example.com");
    EXPECT_EQ(reopened.date("installation"), Date { 1456820100.5 });
    EXPECT_EQ(reopened.value("flags"), Value(Dictionary::make({ { "folders", Array::make({ 1, "two" }) } })));
    EXPECT_TRUE(reopened.value("missing").isNull());
}

TEST_F(DefaultsTest, TypedReadersAreLenientExceptForStrings)
{
    Defaults defaults(file());
    defaults.setValue("count", "42");
    defaults.setValue("flag", 1);
    defaults.setValue("real", 2.75);
    EXPECT_EQ(defaults.integer("count"), 42);
    EXPECT_EQ(defaults.integer("real"), 2);
    EXPECT_EQ(defaults.integer("missing"), 0);
    EXPECT_TRUE(defaults.boolean("flag"));
    EXPECT_FALSE(defaults.boolean("missing"));
    EXPECT_DOUBLE_EQ(defaults.real("real"), 2.75);
    EXPECT_EQ(defaults.string("flag"), std::nullopt);
    EXPECT_EQ(defaults.date("count"), std::nullopt);
}

TEST_F(DefaultsTest, NullAndRemoveDeleteTheKeyOnDisk)
{
    Defaults defaults(file());
    defaults.setValue("a", 1);
    defaults.setValue("b", 2);
    defaults.setValue("a", nullptr);
    defaults.remove("b");
    EXPECT_TRUE(Defaults(file()).value("a").isNull());
    EXPECT_TRUE(Defaults(file()).value("b").isNull());
    EXPECT_EQ(Files::readText(file()), "{}");
}

TEST_F(DefaultsTest, StoredContainersAreCopiesNotShared)
{
    Defaults defaults(file());
    auto flags = Dictionary::make({ { "seen", false } });
    defaults.setValue("flags", flags);
    flags->set("seen", true);
    EXPECT_EQ(defaults.value("flags").dictionary()->get("seen"), Value(false));
    defaults.value("flags").dictionary()->set("seen", true);
    EXPECT_EQ(Defaults(file()).value("flags").dictionary()->get("seen"), Value(false));
}

TEST_F(DefaultsTest, ADamagedFileIsMovedAsideAndLoggedAndTheSettingsStartEmpty)
{
    std::vector<std::string> logged;
    Log::setCapture([&](const std::string& line) { logged.push_back(line); });
    const std::string contents[] = { "{ not json", "[1, 2]", "\xff\xfe", "" };
    for (const auto& content : contents) {
        SCOPED_TRACE(content);
        std::ofstream(file(), std::ios::binary | std::ios::trunc) << content;
        Defaults defaults(file());
        EXPECT_TRUE(defaults.value("a").isNull());
        EXPECT_TRUE(defaults.setValue("a", 1));
        EXPECT_EQ(Defaults(file()).value("a"), Value(1));
    }
    Log::setCapture({});

    std::vector<std::string> keptContents;
    for (const auto& entry : fs::directory_iterator(m_folder.path())) {
        if (entry.path().filename().string().starts_with("defaults.json.corrupt-")) {
            auto bytes = *Files::readBytes(entry.path());
            keptContents.emplace_back(bytes.begin(), bytes.end());
        }
    }
    std::sort(keptContents.begin(), keptContents.end());
    std::vector<std::string> expected(std::begin(contents), std::end(contents));
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(keptContents, expected) << "each damaged file is kept for a person";
    ASSERT_EQ(logged.size(), std::size(contents));
    EXPECT_TRUE(logged[0].starts_with("[Defaults] The settings file defaults.json could not be read"))
        << logged[0];
    EXPECT_NE(logged[0].find("it was moved to defaults.json.corrupt-"), std::string::npos) << logged[0];
}

TEST_F(DefaultsTest, AFailedWriteIsReportedAndTheValueStaysInMemory)
{
    Defaults defaults(m_folder.path() / "missing-folder" / "defaults.json");
    EXPECT_FALSE(defaults.setValue("a", 1));
    EXPECT_EQ(defaults.value("a"), Value(1));
    EXPECT_FALSE(defaults.save());
    fs::create_directory(m_folder.path() / "missing-folder");
    EXPECT_TRUE(defaults.save());
    EXPECT_EQ(Defaults(m_folder.path() / "missing-folder" / "defaults.json").value("a"), Value(1));
}

TEST_F(DefaultsTest, TheStandardStoreFollowsTheHomeFolder)
{
    Files::setHomeDirectory(m_folder.path() / "first");
    auto first = Defaults::standard();
    EXPECT_EQ(first->file(), m_folder.path() / "first" / "Library" / "Preferences" / "defaults.json");
    EXPECT_EQ(Defaults::standard(), first);
    first->setValue("user", "jo");

    Files::setHomeDirectory(m_folder.path() / "second");
    EXPECT_TRUE(Defaults::standard()->value("user").isNull());
    Files::setHomeDirectory(m_folder.path() / "first");
    EXPECT_EQ(Defaults::standard()->string("user"), "jo");
    Files::setHomeDirectory({});
}
