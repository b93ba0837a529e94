#pragma once

#include <optional>
#include <string>

namespace kit {

/// Where the app was installed from, as the kits report it.
enum class CRNInstallSource : int { Development = 1, SignedForDistribution = 3, AppStore = 4 };

// What the kits say of the app, all read from the main bundle's information dictionary (see
// platform::foundation::Bundle). A key that holds no string reads as nullopt.

/// The bundle identifier with every "/" replaced by "_".
std::optional<std::string> CRNApplicationGetBundleIdentifier();

/// "CFBundleVersion".
std::optional<std::string> CRNApplicationGetBundleVersion();

/// "CFBundleShortVersionString".
std::optional<std::string> CRNApplicationGetShortBundleVersion();

/// "CFBundleDisplayName", else "CFBundleName", else the bundle version.
std::optional<std::string> CRNApplicationGetName();

/// Whether the store receipt (the bundle's file "receipt") exists; always false when the normalised OS
/// version is below 70000.
bool CRNApplicationHasAppStoreReceipt();

/// The boolean "EmberSignedForDistribution"; false when absent.
bool CRNApplicationIsSignedForDistribution();

/// AppStore with a receipt, else SignedForDistribution when so signed, else Development.
CRNInstallSource CRNApplicationInstallationSource();

/// The boolean "ReportIdentifiers" of the "Cairn" dictionary; when absent, the top-level boolean
/// "EmberCollectDeviceIdentifiers"; when both are absent, true.
bool CRNApplicationShouldReportDeviceIdentifiers();

}
