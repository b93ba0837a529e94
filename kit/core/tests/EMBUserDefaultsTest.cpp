#include "kit/core/EMBUserDefaults.h"

#include "platform/foundation/Defaults.h"
#include "platform/foundation/Dictionary.h"
#include "platform/foundation/Files.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/PropertyList.h"

#include "testing/ChildProcess.h"
#include "testing/TemporaryDirectory.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <thread>

using kit::EMBUserDefaults;
using platform::foundation::Bytes;
using platform::foundation::Date;
using platform::foundation::Defaults;
using platform::foundation::Dictionary;
using platform::foundation::Files;
using platform::foundation::Log;
using platform::foundation::PropertyList;
using platform::foundation::Value;

namespace fs = std::filesystem;

namespace {

// A fresh app home folder, with the log captured.
class EMBUserDefaultsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Files::setHomeDirectory(m_home.path());
        Log::setCapture([this](const std::string& line) {
            std::lock_guard lock(m_logMutex);
            m_log.push_back(line);
        });
    }
    void TearDown() override
    {
        Log::setCapture(nullptr);
        Files::setHomeDirectory({});
    }

    fs::path folder() const { return m_home.path() / "Library" / "Application Support" / "com.ember"; }
    fs::path file() const { return folder() / "EMBUserDefaults.plist"; }

    // The file as Python's plistlib reads it, as JSON.
    std::string readByPython() const
    {
        testing::ChildProcess python({ "/usr/bin/python3", "-c",
            "import json, plistlib, sys\n"
            "print(json.dumps(plistlib.load(open(sys.argv[1], 'rb')), sort_keys=True, default=str))",
            file().string() });
        std::string output = python.readAll(std::chrono::seconds(10));
        EXPECT_EQ(python.wait(std::chrono::seconds(10)), 0);
        return output;
    }

    std::vector<std::string> log()
    {
        std::lock_guard lock(m_logMutex);
        return m_log;
    }

    testing::TemporaryDirectory m_home;
    std::mutex m_logMutex;
    std::vector<std::string> m_log;
};

}

TEST_F(EMBUserDefaultsTest, AFreshInstallationStartsEmptyAndWritesOnSynchronize)
{
    auto store = EMBUserDefaults::standardUserDefaults();
    EXPECT_EQ(store->fileURL(), file());
    EXPECT_TRUE(store->dictionaryRepresentation()->empty());
    EXPECT_FALSE(fs::exists(folder()));

    store->setString(EMBUserDefaults::kInstallationIdentifierKey, "8A3F0B1C-0000-4000-8000-000000000001");
    store->setBool("com.ember.insights.enableviewcontrollertracking", true);
    store->setObject("com.ember.insights.lastsessiontimestamp", Date { 1700000000 });
    store->setObject("count", 3);
    EXPECT_FALSE(fs::exists(file())) << "changes stay in memory until synchronize";
    ASSERT_TRUE(store->synchronize());
    EXPECT_EQ(readByPython(),
        "{\"com.ember.insights.enableviewcontrollertracking\": true, "
        "\"com.ember.insights.lastsessiontimestamp\": \"2023-11-14 22:13:20\", "
        "\"com.ember.iuuid\": \"8A3F0B1C-0000-4000-8000-000000000001\", \"count\": 3}\n");

    EMBUserDefaults reopened(folder());
    EXPECT_TRUE(reopened.dictionaryRepresentation()->equals(*store->dictionaryRepresentation()));
}

TEST_F(EMBUserDefaultsTest, TypedReadsAndRemoval)
{
    EMBUserDefaults store(folder());
    store.setObject("text", "YES");
    store.setObject("number", 1);
    store.setObject("flag", true);
    store.setObject("zero", 0.0);
    EXPECT_FALSE(store.boolForKey("text")) << "a string is not read as a boolean";
    EXPECT_TRUE(store.boolForKey("number"));
    EXPECT_TRUE(store.boolForKey("flag"));
    EXPECT_FALSE(store.boolForKey("zero"));
    EXPECT_FALSE(store.boolForKey("absent"));
    EXPECT_EQ(store.stringForKey("text"), "YES");
    EXPECT_EQ(store.stringForKey("number"), std::nullopt);

    store.setObject("text", nullptr);
    EXPECT_TRUE(store.objectForKey("text").isNull());
    store.removeObjectForKey("number");
    EXPECT_EQ(store.dictionaryRepresentation()->size(), 2u);
    store.removeAllObjects();
    EXPECT_TRUE(store.dictionaryRepresentation()->empty());
}

TEST_F(EMBUserDefaultsTest, ValuesAreCopiedInAndOut)
{
    EMBUserDefaults store(folder());
    auto nested = Dictionary::make({ { "a", 1 } });
    store.setObject("nested", nested);
    nested->set("a", 2);
    EXPECT_EQ(store.objectForKey("nested").dictionary()->get("a"), Value(1));
    store.objectForKey("nested").dictionary()->set("a", 3);
    store.dictionaryRepresentation()->set("nested", "changed");
    EXPECT_EQ(store.objectForKey("nested").dictionary()->get("a"), Value(1));
}

TEST_F(EMBUserDefaultsTest, ADirectoryWhereTheFileShouldBeIsRemoved)
{
    fs::create_directories(file() / "inside");
    EMBUserDefaults store(folder());
    EXPECT_TRUE(store.dictionaryRepresentation()->empty());
    EXPECT_FALSE(fs::exists(file()));
    EXPECT_EQ(log().at(0),
        "[Cairn:UserDefaults] found directory where file expected. Removing conflicting directory");
    store.setObject("key", "value");
    EXPECT_TRUE(store.synchronize());
    EXPECT_TRUE(fs::is_regular_file(file()));
}

TEST_F(EMBUserDefaultsTest, ADamagedFileIsMovedAsideNotOverwritten)
{
    fs::create_directories(folder());
    const std::string damaged = "<plist><dict><key>com.ember.iuuid</key><string>ABC";
    ASSERT_TRUE(Files::writeText(file(), damaged));
    EMBUserDefaults store(folder());
    EXPECT_TRUE(store.dictionaryRepresentation()->empty());
    ASSERT_EQ(log().size(), 1u);
    EXPECT_TRUE(
        log()[0].starts_with("[Cairn:UserDefaults] failed to read existing UserDefaults file; moved it to "))
        << log()[0];
    fs::path aside = log()[0].substr(log()[0].find(" moved it to ") + 13);
    EXPECT_EQ(aside.parent_path(), folder());
    EXPECT_EQ(Files::readText(aside), damaged);

    store.setObject("key", "value");
    ASSERT_TRUE(store.synchronize());
    EXPECT_EQ(Files::readText(aside), damaged) << "the damaged copy outlives the next synchronize";
}

TEST_F(EMBUserDefaultsTest, AKeyOfTheStandardDefaultsMovesOverOnce)
{
    Defaults::standard()->setValue(EMBUserDefaults::kInstallationIdentifierKey, "OLD-INSTALL-ID");
    auto store = EMBUserDefaults::standardUserDefaults();
    EXPECT_EQ(store->objectForKeyByMigratingFromNSUserDefaults(EMBUserDefaults::kInstallationIdentifierKey),
        Value("OLD-INSTALL-ID"));
    EXPECT_TRUE(Defaults::standard()->value(EMBUserDefaults::kInstallationIdentifierKey).isNull());
    EXPECT_EQ(EMBUserDefaults(folder()).stringForKey(EMBUserDefaults::kInstallationIdentifierKey),
        "OLD-INSTALL-ID");

    // From now on the value is this store's; the standard defaults' new value is not taken again.
    Defaults::standard()->setValue(EMBUserDefaults::kInstallationIdentifierKey, "NEWER");
    EXPECT_EQ(store->objectForKeyByMigratingFromNSUserDefaults(EMBUserDefaults::kInstallationIdentifierKey),
        Value("OLD-INSTALL-ID"));
    EXPECT_TRUE(store->objectForKeyByMigratingFromNSUserDefaults("absent").isNull());
    EXPECT_TRUE(store->objectForKeyByMigratingFromNSUserDefaults("").isNull());

    Defaults::standard()->setValue("a", 1);
    Defaults::standard()->setValue("b", "two");
    store->migrateFromNSUserDefaults({ "a", "b", "c" });
    EXPECT_EQ(EMBUserDefaults(folder()).objectForKey("b"), Value("two"));
    EXPECT_TRUE(Defaults::standard()->value("a").isNull());
}

TEST_F(EMBUserDefaultsTest, AKillDuringSynchronizeLeavesAWholeFile)
{
    testing::ChildProcess writer({ ZORVIK_DEFAULTS_WRITER, folder().string() });
    long saved = 0;
    while (saved < 25) {
        auto line = writer.readLine(std::chrono::seconds(10));
        ASSERT_TRUE(line && line->starts_with("saved ")) << (line ? *line : "no line");
        saved = std::stol(line->substr(6));
    }
    writer.signal(SIGKILL);
    writer.wait(std::chrono::seconds(10));

    auto bytes = Files::readBytes(file());
    ASSERT_TRUE(bytes);
    auto value = PropertyList::read(*bytes);
    ASSERT_TRUE(value && value->dictionary()) << "the file must be whole";
    auto count = value->dictionary()->get("count").integer();
    ASSERT_TRUE(count);
    EXPECT_GE(*count, saved);
    for (long index = 1; index <= *count; ++index)
        EXPECT_TRUE(value->dictionary()->contains("key" + std::to_string(index))) << index;
}

TEST_F(EMBUserDefaultsTest, ThreadsChangingValuesWhileItSynchronizes)
{
    EMBUserDefaults store(folder());
    constexpr int kThreads = 4;
    constexpr int kKeys = 200;
    std::vector<std::thread> threads;
    for (int thread = 0; thread < kThreads; ++thread) {
        threads.emplace_back([&, thread] {
            for (int key = 0; key < kKeys; ++key)
                store.setObject("t" + std::to_string(thread) + "-" + std::to_string(key), key);
        });
    }
    threads.emplace_back([&] {
        for (int round = 0; round < 20; ++round)
            EXPECT_TRUE(store.synchronize());
    });
    for (auto& thread : threads)
        thread.join();
    ASSERT_TRUE(store.synchronize());
    EMBUserDefaults reopened(folder());
    EXPECT_EQ(reopened.dictionaryRepresentation()->size(), std::size_t { kThreads * kKeys });
    EXPECT_EQ(reopened.objectForKey("t3-199"), Value(199));
}
