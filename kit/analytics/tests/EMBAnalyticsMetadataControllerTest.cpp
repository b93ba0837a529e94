#include "kit/analytics/EMBAnalyticsMetadataController.h"

#include "kit/core/CRNHost.h"
#include "kit/core/Cairn.h"

#include "platform/foundation/AdvertisingIdentifierManager.h"
#include "platform/foundation/DeviceEnvironment.h"
#include "platform/foundation/Dictionary.h"
#include "platform/foundation/Files.h"
#include "platform/foundation/Json.h"
#include "platform/foundation/PropertyList.h"
#include "platform/foundation/Uuid.h"
#include "platform/ui/Device.h"

#include "testing/TemporaryDirectory.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <optional>
#include <string>

namespace kit {
namespace {

using platform::foundation::AdvertisingIdentifierManager;
using platform::foundation::Dictionary;
using platform::foundation::DictionaryRef;
using platform::foundation::Files;
using platform::foundation::Uuid;
using platform::foundation::Value;

constexpr std::uint64_t kStart { 1418040000999 };

// An app on a phone of known make: its own home and bundle, the kit platform's key set, a Linux release
// with a build, an English locale, a vendor identifier and an advertising service whose user allows
// tracking.
class EMBAnalyticsMetadataControllerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Files::setHomeDirectory(m_home.path());
        writeInfo(
            Dictionary::make({ { "CFBundleVersion", "7" }, { "CFBundleShortVersionString", "0.1.0" } }));
        Files::setBundleDirectory(m_bundle.path());
        Cairn::sharedSDK().reset();
        Cairn::sharedSDK().setAPIKey("tally-test-key");
        CRNHostPinSystem(CRNHostSystem { "6.1.0-18-amd64", "#1 SMP Debian", CRNUserInterfaceIdiom::Phone });
        platform::ui::Device::current().setIdentifierForVendor(m_vendor);
        AdvertisingIdentifierManager::setAvailable(true);
        AdvertisingIdentifierManager::sharedManager()->setAdvertisingTrackingEnabled(true);
    }

    void TearDown() override
    {
        AdvertisingIdentifierManager::setAvailable(true);
        AdvertisingIdentifierManager::sharedManager()->setAdvertisingTrackingEnabled(true);
        CRNHostPinSystem(std::nullopt);
        Cairn::sharedSDK().reset();
        Files::setBundleDirectory({});
        Files::setHomeDirectory({});
    }

    /// Writes the bundle's Info.plist: the bundle identifier and `keys`.
    void writeInfo(const DictionaryRef& keys)
    {
        auto info = Dictionary::make({ { "CFBundleIdentifier", "com.zorvik.Zorvik" } });
        info->addEntries(*keys);
        ASSERT_TRUE(Files::writeText(
            m_bundle.path() / "Info.plist", *platform::foundation::PropertyList::xml(Value(info))));
    }

    static std::string advertisingIdentifier()
    {
        return AdvertisingIdentifierManager::sharedManager()->advertisingIdentifier().string();
    }

    ::testing::TemporaryDirectory m_home;
    ::testing::TemporaryDirectory m_bundle;
    platform::foundation::ScopedDeviceEnvironment m_environment { "en_GB", "Europe/London" };
    Uuid m_vendor { Uuid::random() };
};

TEST_F(EMBAnalyticsMetadataControllerTest, DescribesTheAppThePhoneTheInstallationAndTheSession)
{
    EMBAnalyticsMetadataController controller(kStart, std::nullopt);

    auto& cairn = Cairn::sharedSDK();
    auto expected = Dictionary::make({
        { "generator", "Tally iOS SDK/1.2.0" },
        { "links_ad_support", true },
        { "advertising_tracking_enabled", true },
        { "advertising_id", advertisingIdentifier() },
        { "api_key", "tally-test-key" },
        { "session_id", cairn.executionIdentifier() },
        { "started_at", 1418040000 },
        { "vendor_id", m_vendor.string() },
        { "install_id", cairn.installID() },
        { "model", "iOS Simulator (iPhone)" },
        { "machine", "iOS Simulator (iPhone)" },
        { "locale", "en_GB" },
        { "os_build", "#1 SMP Debian" },
        { "os_version", "6.1.0" },
        { "platform", "iOS" },
        { "platform_code", 2 },
        { "cores", static_cast<std::int64_t>(::sysconf(_SC_NPROCESSORS_CONF)) },
        { "jailbroken", false },
        { "bundle_id", "com.zorvik.Zorvik" },
        { "bundle_version", "7" },
        { "bundle_short_version", "0.1.0" },
    });
    if (auto instance = cairn.instanceIdentifier())
        expected->set("instance_id", *instance);
    EXPECT_TRUE(controller.metadata()->equals(*expected))
        << platform::foundation::toJson(controller.metadata());
    EXPECT_EQ(cairn.advertisingToken(), advertisingIdentifier()) << "the settings download sends it";
}

TEST_F(EMBAnalyticsMetadataControllerTest, TheJsonIsCompactAndReadsBackAsTheMetadata)
{
    EMBAnalyticsMetadataController controller(kStart, std::optional<std::string>("2:beta"));

    const auto& data = controller.metadataJSONData();
    std::string json(data.begin(), data.end());
    EXPECT_EQ(json, platform::foundation::toJson(Value(controller.metadata())));
    auto read = platform::foundation::parseJson(json);
    ASSERT_TRUE(read.ok()) << read.error;
    ASSERT_NE(read.value.dictionary(), nullptr);
    EXPECT_TRUE(read.value.dictionary()->equals(*controller.metadata())) << json;
}

TEST_F(EMBAnalyticsMetadataControllerTest, WhatThePhoneOrTheAppDoesNotHaveIsLeftOut)
{
    platform::ui::Device::current().setIdentifierForVendor(std::nullopt);
    CRNHostPinSystem(CRNHostSystem { "6.1.0", std::nullopt, CRNUserInterfaceIdiom::Phone });
    writeInfo(Dictionary::make());

    auto metadata = EMBAnalyticsMetadataController(kStart, std::nullopt).metadata();

    for (const char* key :
        { "vendor_id", "os_build", "bundle_version", "bundle_short_version", "beta_tester_token" })
        EXPECT_FALSE(metadata->contains(key)) << key;
    EXPECT_EQ(metadata->get("bundle_id"), Value("com.zorvik.Zorvik"));
}

TEST_F(EMBAnalyticsMetadataControllerTest, TheAdvertisingIdentifierOnlyWhileTheUserAllowsTracking)
{
    struct Case {
        bool available;
        bool trackingAllowed;
        bool identified;
    };
    for (auto test :
        { Case { true, true, true }, Case { true, false, false }, Case { false, true, false } }) {
        SCOPED_TRACE(
            ::testing::Message() << "service " << test.available << ", tracking " << test.trackingAllowed);
        AdvertisingIdentifierManager::setAvailable(true);
        AdvertisingIdentifierManager::sharedManager()->setAdvertisingTrackingEnabled(test.trackingAllowed);
        AdvertisingIdentifierManager::setAvailable(test.available);
        Cairn::sharedSDK().setAdvertisingToken("left from before");

        auto metadata = EMBAnalyticsMetadataController(kStart, std::nullopt).metadata();

        EXPECT_EQ(metadata->get("links_ad_support"), Value(test.available));
        EXPECT_EQ(
            metadata->get("advertising_tracking_enabled"), Value(test.available && test.trackingAllowed));
        AdvertisingIdentifierManager::setAvailable(true);
        auto identifier = test.identified ? advertisingIdentifier() : std::string();
        EXPECT_EQ(metadata->get("advertising_id"), test.identified ? Value(identifier) : Value());
        EXPECT_EQ(Cairn::sharedSDK().advertisingToken(), identifier);
    }
}

TEST_F(EMBAnalyticsMetadataControllerTest, ABetaTokenIsUnwrappedOnlyFromTheSecondForm)
{
    struct Case {
        std::optional<std::string> token;
        std::optional<std::string> unwrapped;
    };
    const Case cases[] = {
        { "2:abc123", "abc123" },
        { "2:", "" },
        { std::nullopt, std::nullopt },
        { "1:abc123", std::nullopt },
        { "2:abc:123", std::nullopt },
        { "abc123", std::nullopt },
        { ":abc123", std::nullopt },
        { "22:abc123", std::nullopt },
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.token.value_or("(none)"));
        EXPECT_EQ(EMBAnalyticsMetadataController::unwrapBetaToken(test.token), test.unwrapped);
    }
    auto metadata = EMBAnalyticsMetadataController(kStart, std::optional<std::string>("2:abc123")).metadata();
    EXPECT_EQ(metadata->get("beta_tester_token"), Value("abc123"));
}

TEST_F(EMBAnalyticsMetadataControllerTest, TheMetadataStaysAsItWasMade)
{
    EMBAnalyticsMetadataController controller(kStart, std::nullopt);
    controller.metadata()->set("api_key", "changed");
    EXPECT_EQ(controller.metadata()->get("api_key"), Value("tally-test-key"));
}

}
}
