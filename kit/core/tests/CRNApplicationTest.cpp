#include "kit/core/CRNApplication.h"
#include "kit/core/CRNHost.h"

#include "platform/foundation/Bundle.h"
#include "platform/foundation/Dictionary.h"
#include "platform/foundation/Files.h"
#include "platform/foundation/PropertyList.h"

#include "testing/TemporaryDirectory.h"

#include <gtest/gtest.h>

using namespace kit;
using platform::foundation::Dictionary;
using platform::foundation::DictionaryRef;
using platform::foundation::Files;
using platform::foundation::PropertyList;
using platform::foundation::Value;

namespace {

// An app bundle of the test's own, on a host whose OS version the test pins.
class CRNApplicationTest : public ::testing::Test {
protected:
    void SetUp() override { Files::setBundleDirectory(m_bundle.path()); }
    void TearDown() override
    {
        Files::setBundleDirectory({});
        CRNHostPinSystem(std::nullopt);
    }

    void writeInfo(const DictionaryRef& info)
    {
        ASSERT_TRUE(Files::writeText(m_bundle.path() / "Info.plist", *PropertyList::xml(Value(info))));
    }

    void setReceipt(bool present)
    {
        if (present)
            ASSERT_TRUE(Files::writeText(m_bundle.path() / "receipt", "receipt"));
        else
            Files::remove(m_bundle.path() / "receipt");
    }

    testing::TemporaryDirectory m_bundle;
};

}

TEST_F(CRNApplicationTest, HostVersionsComeFromTheKernelRelease)
{
    struct Case {
        const char* release;
        CRNOSVersion version;
        std::int64_t normalized;
        const char* display;
    };
    const Case cases[] = {
        { "9.3", { 9, 3, 0 }, 90000, "9.3.0" },
        { "10.0", { 10, 0, 0 }, 100000, "10.0.0" },
        { "6.18.0-1-amd64", { 6, 18, 0 }, 60000, "6.18.0" },
        { "4.19.2.7", { 4, 19, 2 }, 40000, "4.19.2" },
        { "3.2.1", { 3, 2, 1 }, 0, "3.2.1" },
        { "", { 0, 0, 0 }, 0, "0.0.0" },
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.release);
        CRNHostPinSystem(CRNHostSystem { test.release, "#1 SMP", CRNUserInterfaceIdiom::Unknown });
        EXPECT_EQ(CRNHostGetOSVersion(), test.version);
        EXPECT_EQ(CRNHostGetNormalizedOSVersion(), test.normalized);
        EXPECT_EQ(CRNHostOSDisplayVersion(), test.display);
        EXPECT_EQ(CRNHostOSBuildVersion(), "#1 SMP");
    }
}

TEST_F(CRNApplicationTest, TheRealKernelIsRead)
{
    EXPECT_GE(CRNHostGetOSVersion().major, 2);
    EXPECT_TRUE(CRNHostOSBuildVersion());
}

TEST_F(CRNApplicationTest, ModelTextNamesTheIdiom)
{
    const std::pair<CRNUserInterfaceIdiom, const char*> cases[] = {
        { CRNUserInterfaceIdiom::Unknown, "iOS Simulator (iPhone)" },
        { CRNUserInterfaceIdiom::Phone, "iOS Simulator (iPhone)" },
        { CRNUserInterfaceIdiom::Pad, "iOS Simulator (iPad)" },
        { CRNUserInterfaceIdiom::Other, "iOS Simulator (Unknown)" },
    };
    for (const auto& [idiom, text] : cases) {
        CRNHostPinSystem(CRNHostSystem { "6.1", std::nullopt, idiom });
        EXPECT_EQ(CRNHostModelInfo(), text);
    }
}

TEST_F(CRNApplicationTest, InstallSourceOverOsVersionsReceiptsAndSigning)
{
    struct Case {
        const char* release;
        bool receipt;
        bool signedForDistribution;
        bool hasReceipt;
        CRNInstallSource source;
    };
    using enum CRNInstallSource;
    const Case cases[] = {
        { "9.3", true, false, true, AppStore },
        { "9.3", false, true, false, SignedForDistribution },
        { "9.3", false, false, false, Development },
        { "10.0", true, true, true, AppStore },
        { "10.0", false, true, false, SignedForDistribution },
        { "6.18", true, false, false, Development },
        { "6.18", true, true, false, SignedForDistribution },
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(std::string(test.release) + (test.receipt ? " receipt" : "")
            + (test.signedForDistribution ? " signed" : ""));
        CRNHostPinSystem(CRNHostSystem { test.release, std::nullopt, CRNUserInterfaceIdiom::Unknown });
        auto info = Dictionary::make({ { "CFBundleIdentifier", "com.zorvik.test" } });
        if (test.signedForDistribution)
            info->set("EmberSignedForDistribution", true);
        writeInfo(info);
        setReceipt(test.receipt);
        EXPECT_EQ(CRNApplicationHasAppStoreReceipt(), test.hasReceipt);
        EXPECT_EQ(CRNApplicationIsSignedForDistribution(), test.signedForDistribution);
        EXPECT_EQ(CRNApplicationInstallationSource(), test.source);
    }
}

TEST_F(CRNApplicationTest, DeviceIdentifierReportingFallsBackInOrder)
{
    struct Case {
        Value reportIdentifiers;
        Value collectDeviceIdentifiers;
        bool expected;
    };
    const Case cases[] = {
        { nullptr, nullptr, true },
        { false, true, false },
        { true, false, true },
        { nullptr, false, false },
        { nullptr, true, true },
        { "NO", nullptr, false },
    };
    for (const auto& test : cases) {
        auto cairn = Dictionary::make({ { "APIKey", "key" } });
        cairn->set("ReportIdentifiers", test.reportIdentifiers);
        auto info = Dictionary::make({ { "Cairn", cairn } });
        info->set("EmberCollectDeviceIdentifiers", test.collectDeviceIdentifiers);
        writeInfo(info);
        EXPECT_EQ(CRNApplicationShouldReportDeviceIdentifiers(), test.expected)
            << test.reportIdentifiers.stringValue() << " / " << test.collectDeviceIdentifiers.stringValue();
    }
}

TEST_F(CRNApplicationTest, NamesAndVersionsFallBack)
{
    struct Case {
        DictionaryRef info;
        std::optional<std::string> name;
    };
    const Case cases[] = {
        { Dictionary::make({ { "CFBundleDisplayName", "Shown" }, { "CFBundleName", "Named" },
              { "CFBundleVersion", "7" } }),
            "Shown" },
        { Dictionary::make({ { "CFBundleName", "Named" }, { "CFBundleVersion", "7" } }), "Named" },
        { Dictionary::make({ { "CFBundleVersion", "7" } }), "7" },
        { Dictionary::make({ { "CFBundleDisplayName", 12 } }), std::nullopt },
    };
    for (const auto& test : cases) {
        writeInfo(test.info);
        EXPECT_EQ(CRNApplicationGetName(), test.name);
    }
    writeInfo(Dictionary::make({ { "CFBundleIdentifier", "com/zorvik/odd" }, { "CFBundleVersion", "42" },
        { "CFBundleShortVersionString", "1.2.3" } }));
    EXPECT_EQ(CRNApplicationGetBundleIdentifier(), "com_zorvik_odd");
    EXPECT_EQ(CRNApplicationGetBundleVersion(), "42");
    EXPECT_EQ(CRNApplicationGetShortBundleVersion(), "1.2.3");
}

TEST(CRNApplicationBundleTest, TheAppsOwnInfoPlistNamesTheAppAndCarriesAKitKey)
{
    Files::setBundleDirectory({});
    EXPECT_EQ(CRNApplicationGetBundleIdentifier(), "com.zorvik.Zorvik");
    EXPECT_EQ(CRNApplicationGetName(), "Zorvik");
    EXPECT_EQ(CRNApplicationGetShortBundleVersion(), "0.1.0");
    auto cairn = platform::foundation::Bundle::main()->objectForInfoDictionaryKey("Cairn").dictionary();
    ASSERT_TRUE(cairn);
    Value key = cairn->get("APIKey");
    ASSERT_TRUE(key.string());
    EXPECT_FALSE(key.string()->empty());
}
