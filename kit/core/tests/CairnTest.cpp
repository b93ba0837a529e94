#include "kit/core/Cairn.h"

#include "kit/core/CRNApplicationIdentiferModel.h"
#include "kit/core/CRNException.h"
#include "kit/core/CRNKitRegistry.h"
#include "kit/core/CRNNetworkClient.h"
#include "kit/core/CRNObfuscator.h"
#include "kit/core/CRNSettingsOnboardingManager.h"
#include "kit/core/EMBUserDefaults.h"
#include "kit/core/tests/KitAppFixture.h"

#include "platform/foundation/Array.h"
#include "platform/foundation/Defaults.h"
#include "platform/foundation/Regex.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace kit::test {
namespace {

using platform::foundation::Array;
using platform::foundation::Dictionary;
using platform::foundation::DictionaryRef;
using platform::foundation::Value;

// A kit that notes in a shared journal when it is asked to start, and what the platform showed it then.
class JournalKit : public Kit {
public:
    JournalKit(std::string name, std::vector<std::string>& journal, std::mutex& mutex)
        : m_name(std::move(name))
        , m_journal(journal)
        , m_mutex(mutex)
    {
    }

    std::string kitName() const override { return m_name; }
    std::string bundleIdentifier() const override { return "test." + m_name; }
    std::string kitDisplayVersion() const override { return "1.0"; }
    void initializeIfNeeded() override
    {
        auto key = Cairn::sharedSDK().APIKey();
        std::lock_guard lock(m_mutex);
        m_journal.push_back(m_name + " started with key " + key.value_or("none"));
    }

private:
    std::string m_name;
    std::vector<std::string>& m_journal;
    std::mutex& m_mutex;
};

constexpr const char* kTestClassNames[] = { "Ember", "Tally", "Signet", "Other", "Legacy", "NotAKit" };

// An app whose Info.plist carries the kit service's key, started against the fixture's back-end.
class CairnTest : public KitAppFixture {
protected:
    void SetUp() override
    {
        KitAppFixture::SetUp();
        writeCairn(Dictionary::make({ { "APIKey", ::testing::KitService::acceptedAPIKey() } }));
        Cairn::sharedSDK().reset();
        // The identities are made on first use; the test bundle's missing icon is logged then.
        Cairn::sharedSDK().installID();
        clearLog();
    }

    void TearDown() override
    {
        Cairn::sharedSDK().reset();
        for (const char* name : kTestClassNames)
            CRNKitRegistry::shared().unregisterClass(name);
        KitAppFixture::TearDown();
    }

    void writeCairn(const Value& cairn) { writeInfo(Dictionary::make({ { "Cairn", cairn } })); }

    std::shared_ptr<Kit> kit(const std::string& name)
    {
        return std::make_shared<JournalKit>(name, m_journal, m_journalMutex);
    }
    std::vector<std::string> journal()
    {
        std::lock_guard lock(m_journalMutex);
        return m_journal;
    }

    static std::vector<std::string> kitNames()
    {
        std::vector<std::string> names;
        for (const auto& kitClass : Cairn::sharedSDK().kitClasses())
            names.push_back(kitClass->name());
        return names;
    }

    /// Waits until the start's settings run has finished its network session.
    bool runEnded()
    {
        auto client = Cairn::sharedSDK().settingsAndOnboardingManager()->networkClient();
        return settle([&] { return client->session()->isInvalidated(); });
    }

    std::mutex m_journalMutex;
    std::vector<std::string> m_journal;
};

TEST_F(CairnTest, StartsTheKitsInListOrderOncePerProcess)
{
    m_backend.kit().setRequiredAPIKey(::testing::KitService::acceptedAPIKey());
    Cairn::sharedSDK().setAPIKey("k-123");
    auto first = kit("Ember");
    auto second = kit("Other");

    auto& platform = Cairn::with({ first, second });

    EXPECT_EQ(&platform, &Cairn::sharedSDK());
    EXPECT_TRUE(platform.isStarted());
    EXPECT_EQ(kitNames(), (std::vector<std::string> { "Ember", "Other" }));
    EXPECT_EQ(platform.kitClasses().front()->kit(), first);
    EXPECT_EQ(journal(),
        (std::vector<std::string> { "Ember started with key k-123", "Other started with key k-123" }));

    auto& again = Cairn::with({ kit("Late") });
    EXPECT_EQ(&again, &platform);
    EXPECT_EQ(journal().size(), 2u) << "a second call starts nothing";
    EXPECT_EQ(platform.kitClasses().size(), 2u);
    ASSERT_TRUE(runEnded());
    EXPECT_EQ(m_backend.requests().size(), 1u)
        << "one settings download, refused: the key is not the service's";
}

TEST_F(CairnTest, WithoutAnAPIKeyNothingStartsAndALaterKeyDoesNotRestart)
{
    writeCairn(Dictionary::make({ { "APIKey", "" } }));
    auto& platform = Cairn::with({ kit("Ember") });

    EXPECT_FALSE(platform.isStarted());
    EXPECT_TRUE(platform.kitClasses().empty());
    EXPECT_TRUE(journal().empty());
    EXPECT_EQ(log(),
        (std::vector<std::string> { "[Cairn] Cairn API Key is nil! Cairn won't work unless there is a valid "
                                    "API Key setup in Info.plist" }));

    platform.setAPIKey("k-123");
    Cairn::with({ kit("Ember") });
    EXPECT_TRUE(journal().empty()) << "the start body runs once per process, key or not";
    EXPECT_EQ(log().size(), 1u);
    platform::foundation::mainQueue().runUntil([] { return false; }, std::chrono::milliseconds(100));
    EXPECT_TRUE(m_backend.requests().empty()) << "no settings are downloaded";
}

TEST_F(CairnTest, AStartDownloadsTheSettingsOnboardsTheAppAndAnnouncesThem)
{
    Cairn::sharedSDK().setDebug(true);
    Cairn::with({ kit("Ember") });
    ASSERT_TRUE(runEnded());

    EXPECT_EQ(requestLines(),
        (std::vector<std::string> { "GET /spi/v2/platforms/ios/apps/com.zorvik.Zorvik/settings",
            "POST /spi/v1/platforms/ios/apps",
            "GET /spi/v2/platforms/ios/apps/com.zorvik.Zorvik/settings" }));
    EXPECT_EQ(announced(), std::vector<std::size_t> { 3 });
    auto settings = Cairn::sharedSDK().settings();
    ASSERT_TRUE(settings);
    EXPECT_EQ(settings->get("app").dictionary()->get("status"), Value("activated"));
    EXPECT_EQ(
        log().front(), "[Cairn] Initialized with kit versions: {test.Ember = 1.0, io.cairn.sdk.ios = 1.6.5}");

    auto request = m_backend.requests().front();
    EXPECT_EQ(request.header("X-Ember-Installation-ID"), Cairn::sharedSDK().installID());
    EXPECT_EQ(request.queryValue("instance"), Cairn::sharedSDK().instanceIdentifier());
    auto record = m_backend.kit().app("ios", "com.zorvik.Zorvik");
    ASSERT_TRUE(record);
    EXPECT_EQ(record->get("libraries"),
        Value(Dictionary::make({ { "test.Ember", "1.0" }, { "io.cairn.sdk.ios", "1.6.5" } })));
}

TEST_F(CairnTest, ARefusedKeyIsLoggedAnnouncesNothingAndTheAppGoesOn)
{
    m_backend.kit().setRequiredAPIKey(::testing::KitService::acceptedAPIKey());
    Cairn::sharedSDK().setAPIKey("not-the-key");
    Cairn::with({ kit("Ember") });
    EXPECT_EQ(journal(), std::vector<std::string> { "Ember started with key not-the-key" });
    ASSERT_TRUE(runEnded());

    EXPECT_EQ(m_backend.requests().size(), 1u);
    auto lines = log();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_TRUE(lines[0].starts_with("[Cairn] failed to download settings ")) << lines[0];
    EXPECT_NE(lines[0].find("\"status_code\":401"), std::string::npos) << lines[0];
    EXPECT_TRUE(announced().empty());
    EXPECT_EQ(Cairn::sharedSDK().settings(), nullptr);
}

TEST_F(CairnTest, KitObjectsAndTheirClassesMakeTheSameListWithTallyBesideEmberAndSignetAdded)
{
    auto& registry = CRNKitRegistry::shared();
    auto ember = kit("Ember");
    auto other = kit("Other");
    struct Case {
        const char* name;
        std::function<void()> arrange;
        std::function<std::vector<Cairn::KitOrClass>()> kits;
        std::vector<std::string> expected;
    };
    auto registerTally = [&] { registry.registerClass(CRNKitClass::kitClass(kit("Tally"))); };
    const std::vector<Case> cases {
        { "an object", [] {},
            [&] {
                return std::vector<Cairn::KitOrClass> { ember, other };
            },
            { "Ember", "Other" } },
        { "its class", [] {},
            [&] {
                return std::vector<Cairn::KitOrClass> { registry.classNamed("Ember"), other };
            },
            { "Ember", "Other" } },
        { "Tally beside Ember", registerTally, [&] { return std::vector<Cairn::KitOrClass> { ember }; },
            { "Ember", "Tally" } },
        { "Tally passed is not added twice", registerTally,
            [&] {
                return std::vector<Cairn::KitOrClass> { registry.classNamed("Tally"), ember };
            },
            { "Tally", "Ember" } },
        { "no Tally without Ember", registerTally, [&] { return std::vector<Cairn::KitOrClass> { other }; },
            { "Other" } },
        { "a Tally that is no kit class is left out",
            [&] {
                registry.registerClass(CRNKitClass::legacyKitClass("Tally", [] {
                    return std::make_shared<CRNLegacyKitInstance>(
                        CRNLegacyKitInstance { [] {}, [] { return "t"; }, [] { return "1"; } });
                }));
            },
            [&] { return std::vector<Cairn::KitOrClass> { ember }; }, { "Ember" } },
        { "Signet, then Tally",
            [&] {
                registerTally();
                registry.registerClass(CRNKitClass::kitClass(kit("Signet")));
            },
            [&] { return std::vector<Cairn::KitOrClass> { ember }; }, { "Ember", "Signet", "Tally" } },
        { "no kits", [] {}, [] { return std::vector<Cairn::KitOrClass> {}; }, {} },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Cairn::sharedSDK().reset();
        registry.unregisterClass("Tally");
        registry.unregisterClass("Signet");
        c.arrange();

        Cairn::with(c.kits());

        EXPECT_EQ(kitNames(), c.expected);
        auto versions = Cairn::sharedSDK().kitVersionsByKitBundleIdentifier();
        ASSERT_EQ(versions.size(), c.expected.size() + 1);
        EXPECT_EQ(versions.back(), (std::pair<std::string, std::string> { "io.cairn.sdk.ios", "1.6.5" }));
    }
    EXPECT_EQ(registry.classNamed("Ember")->kit(), ember) << "the object handed over named its class";
}

TEST_F(CairnTest, ALegacyKitStartsThroughItsSharedInstance)
{
    std::atomic<int> starts { 0 };
    auto legacy = CRNKitClass::legacyKitClass("Legacy", [&] {
        return std::make_shared<CRNLegacyKitInstance>(
            CRNLegacyKitInstance { [&] { ++starts; }, [] { return "com.legacy"; }, [] { return "0.9"; } });
    });
    Cairn::with({ legacy });
    EXPECT_EQ(starts, 1);
    EXPECT_EQ(log().front(), "[Cairn] Please upgrade to the latest version of \"Legacy\"");
    EXPECT_EQ(Cairn::sharedSDK().kitVersionsByKitBundleIdentifier(),
        (CRNKitVersions { { "com.legacy", "0.9" }, { "io.cairn.sdk.ios", "1.6.5" } }));
}

TEST_F(CairnTest, EachMisconfigurationRaisesACRNExceptionWithItsReason)
{
    const std::string noKit
        = "[Cairn] It appears that \"NotAKit\" is not a valid Cairn Kit. Please make sure you "
          "only pass Cairn Kits to [Cairn with:].";
    struct Case {
        const char* name;
        std::function<void()> arrange;
        std::vector<Cairn::KitOrClass> kits;
        std::string reason;
    };
    const std::vector<Case> cases {
        { "no Info.plist", [&] { std::filesystem::remove(m_bundle.path() / "Info.plist"); }, {},
            "[Cairn] Cannot find Info.plist." },
        { "Cairn is no dictionary", [&] { writeCairn(Value("key")); }, {},
            "[Cairn] Value of Info.plist key \"Cairn\" must be a NSDictionary." },
        { "no API key", [&] { writeCairn(Dictionary::make()); }, {},
            "[Cairn] Value of Info.plist[Cairn][APIKey] must contain your Cairn API Key." },
        { "a number for a key",
            [&] {
                writeCairn(Dictionary::make({ { "APIKey", 42 } }));
            },
            {}, "[Cairn] Value of Info.plist[Cairn][APIKey] must contain your Cairn API Key." },
        { "a class that is no kit", [] {}, { CRNKitClass::plainClass("NotAKit") }, noKit },
        { "a legacy kit without a version", [] {},
            { CRNKitClass::legacyKitClass("NotAKit",
                [] {
                    return std::make_shared<CRNLegacyKitInstance>(
                        CRNLegacyKitInstance { [] {}, [] { return "com.old"; }, nullptr });
                }) },
            noKit },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        writeCairn(Dictionary::make({ { "APIKey", ::testing::KitService::acceptedAPIKey() } }));
        c.arrange();
        Cairn::sharedSDK().reset();
        try {
            Cairn::with(c.kits);
            ADD_FAILURE() << "no exception";
        } catch (const platform::foundation::NamedException& exception) {
            EXPECT_NE(dynamic_cast<const CRNException*>(&exception), nullptr);
            EXPECT_EQ(exception.name(), "CRNException");
            EXPECT_EQ(exception.reason(), c.reason);
        }
        EXPECT_FALSE(Cairn::sharedSDK().isStarted());
    }
    EXPECT_TRUE(m_backend.requests().empty());
}

TEST_F(CairnTest, KitsThatAreNoArrayAreOnlyLoggedAndKitInfoWinsOverItsObfuscatedCopy)
{
    writeCairn(
        Dictionary::make({ { "APIKey", ::testing::KitService::acceptedAPIKey() }, { "Kits", "Ember" } }));
    Cairn::sharedSDK().reset();
    Cairn::with({ kit("Ember") });
    EXPECT_TRUE(Cairn::sharedSDK().isStarted());
    EXPECT_EQ(log().front(), "[Cairn] [Cairn] Value of Info.plist[Cairn][Kits] should be a NSArray.");
    EXPECT_EQ(Cairn::sharedSDK().configurationDictionaryForKitClass("Ember"), nullptr);

    auto hidden = CRNObfuscator::obfuscatedDataFromDictionary(
        Dictionary::make({ { "shared", "hidden" }, { "b", 2 } }));
    auto kits = Array::make(
        { Dictionary::make({ { "KitName", "Other" }, { "KitInfo", Dictionary::make({ { "o", 1 } }) } }),
            Dictionary::make({ { "KitName", "Ember" }, { "ObfuscatedKitInfo", hidden },
                { "KitInfo", Dictionary::make({ { "shared", "plain" }, { "a", 1 } }) } }) });
    writeCairn(Dictionary::make({ { "APIKey", ::testing::KitService::acceptedAPIKey() }, { "Kits", kits } }));
    Cairn::sharedSDK().reset();
    EXPECT_EQ(Value(Cairn::sharedSDK().configurationDictionaryForKit(*kit("Ember"))),
        Value(Dictionary::make({ { "a", 1 }, { "b", 2 }, { "shared", "plain" } })));
    EXPECT_EQ(Cairn::sharedSDK().configurationDictionaryForKitClass("Tally"), nullptr);
}

TEST_F(CairnTest, TheInstallationIdentifierIsMadeOnceAndTakenOverFromTheAppsDefaults)
{
    auto& platform = Cairn::sharedSDK();
    const std::string installID = platform.installID();
    EXPECT_TRUE(platform.isFirstInstall());
    EXPECT_TRUE(platform::foundation::Regex("^[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}$")
                    .matchesEntirely(installID))
        << installID;
    EXPECT_EQ(EMBUserDefaults(EMBUserDefaults::standardUserDefaults()->directoryURL())
                  .stringForKey(EMBUserDefaults::kInstallationIdentifierKey),
        installID)
        << "written to the file";
    const std::string launch = platform.executionIdentifier();
    EXPECT_TRUE(platform::foundation::Regex("^[0-9a-f]{32}$").matchesEntirely(launch)) << launch;
    auto model = CRNApplicationIdentiferModel::initWithInstallID(installID);
    ASSERT_TRUE(model);
    EXPECT_EQ(platform.instanceIdentifier(), model->instanceIdentifier());

    platform.reset();
    EXPECT_FALSE(platform.isFirstInstall()) << "the next launch";
    EXPECT_EQ(platform.installID(), installID);
    EXPECT_NE(platform.executionIdentifier(), launch);

    ::testing::TemporaryDirectory upgraded;
    platform::foundation::Files::setHomeDirectory(upgraded.path());
    ASSERT_TRUE(platform::foundation::Defaults::standard()->setValue(
        EMBUserDefaults::kInstallationIdentifierKey, Value("0B5E7F1C-0000-4000-8000-00000000A1B2")));
    platform.reset();
    EXPECT_FALSE(platform.isFirstInstall()) << "an app upgraded from a build that kept it in its defaults";
    EXPECT_EQ(platform.installID(), "0B5E7F1C-0000-4000-8000-00000000A1B2");
    EXPECT_TRUE(platform::foundation::Defaults::standard()
                    ->value(EMBUserDefaults::kInstallationIdentifierKey)
                    .isNull());
    platform::foundation::Files::setHomeDirectory(m_home.path());
}

TEST_F(CairnTest, EightThreadsCallingWithStartOnce)
{
    auto ember = kit("Ember");
    std::vector<Cairn*> answers(8);
    std::vector<std::thread> threads;
    for (std::size_t i = 0; i < answers.size(); ++i)
        threads.emplace_back([&, i] { answers[i] = &Cairn::with({ ember }); });
    for (auto& thread : threads)
        thread.join();

    for (auto* answer : answers)
        EXPECT_EQ(answer, &Cairn::sharedSDK());
    EXPECT_EQ(journal().size(), 1u);
    ASSERT_TRUE(runEnded());
    EXPECT_EQ(requestLines().size(), 3u) << "one run: download, create, download";
    EXPECT_EQ(announced().size(), 1u);
}

TEST_F(CairnTest, EndingMidDownloadLetsGoOfTheClientAndItsSession)
{
    m_backend.delayRoute("GET", "/spi/*", 2);
    Cairn::with({ kit("Ember") });
    ASSERT_TRUE(platform::foundation::mainQueue().runUntil([&] { return m_backend.requests().size() == 1; }));
    std::weak_ptr<CRNNetworkClient> client
        = Cairn::sharedSDK().settingsAndOnboardingManager()->networkClient();
    std::weak_ptr<EMBURLSession> session = client.lock()->session();

    Cairn::sharedSDK().reset();

    ASSERT_TRUE(
        platform::foundation::mainQueue().runUntil([&] { return client.expired() && session.expired(); }));
    EXPECT_TRUE(announced().empty());
    EXPECT_FALSE(logged("failed to download settings")) << "a cancelled download is no failure to report";
}

}
}
