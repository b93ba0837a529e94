#include "kit/core/CRNApplication.h"

#include "kit/core/CRNHost.h"

#include "platform/foundation/Bundle.h"
#include "platform/foundation/Dictionary.h"
#include "platform/foundation/Files.h"

#include <algorithm>

namespace kit {

using platform::foundation::Bundle;
using platform::foundation::Value;

namespace {

std::optional<std::string> infoString(std::string_view key)
{
    Value value = Bundle::main()->objectForInfoDictionaryKey(key);
    if (const auto* text = value.string())
        return *text;
    return std::nullopt;
}

}

std::optional<std::string> CRNApplicationGetBundleIdentifier()
{
    auto identifier = infoString("CFBundleIdentifier");
    if (identifier)
        std::replace(identifier->begin(), identifier->end(), '/', '_');
    return identifier;
}

std::optional<std::string> CRNApplicationGetBundleVersion()
{
    return infoString("CFBundleVersion");
}

std::optional<std::string> CRNApplicationGetShortBundleVersion()
{
    return infoString("CFBundleShortVersionString");
}

std::optional<std::string> CRNApplicationGetName()
{
    if (auto name = infoString("CFBundleDisplayName"))
        return name;
    if (auto name = infoString("CFBundleName"))
        return name;
    return CRNApplicationGetBundleVersion();
}

bool CRNApplicationHasAppStoreReceipt()
{
    if (CRNHostGetNormalizedOSVersion() < 70000)
        return false;
    return platform::foundation::Files::exists(Bundle::main()->appStoreReceiptPath());
}

bool CRNApplicationIsSignedForDistribution()
{
    return Bundle::main()->objectForInfoDictionaryKey("EmberSignedForDistribution").boolValue();
}

CRNInstallSource CRNApplicationInstallationSource()
{
    if (CRNApplicationHasAppStoreReceipt())
        return CRNInstallSource::AppStore;
    if (CRNApplicationIsSignedForDistribution())
        return CRNInstallSource::SignedForDistribution;
    return CRNInstallSource::Development;
}

bool CRNApplicationShouldReportDeviceIdentifiers()
{
    auto bundle = Bundle::main();
    if (auto cairn = bundle->objectForInfoDictionaryKey("Cairn").dictionary()) {
        Value report = cairn->get("ReportIdentifiers");
        if (!report.isNull())
            return report.boolValue();
    }
    Value collect = bundle->objectForInfoDictionaryKey("EmberCollectDeviceIdentifiers");
    return collect.isNull() || collect.boolValue();
}

}
