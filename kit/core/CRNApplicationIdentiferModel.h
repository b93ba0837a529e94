#pragma once

#include "kit/core/CRNIcon.h"

#include "platform/foundation/ExecutableImage.h"

#include <map>
#include <memory>
#include <optional>
#include <string>

namespace kit {

class EMBMachOFile;

/// Who the running app is, for the kit service: the executable's slices and their UUIDs, the versions it
/// was built for and against, the instance identifier derived from them, the installation identifier, the
/// bundle identifier and the app's icon. Computed once at creation; immutable after.
///
/// The program is an ELF image with one slice: its architecture and the UUID taken from its build-id
/// (see platform::foundation::ExecutableImage); its minimum version is the kernel its ABI tag names, its
/// built version the C library it was compiled against.
class CRNApplicationIdentiferModel {
public:
    /// Architecture name ("x86_64", "arm64") to the slice's UUID, 32 lower-case hex digits; ordered by name.
    using ArchitectureUUIDMap = std::map<std::string, std::string>;

    /// The running program's identity with `installID`; null when the program cannot be read or has no
    /// build-id.
    static std::shared_ptr<const CRNApplicationIdentiferModel> initWithInstallID(std::string installID);
    /// The identity of `image`; null when it has no build-id.
    static std::shared_ptr<const CRNApplicationIdentiferModel> initWithInstallID(
        std::string installID, const platform::foundation::ExecutableImage& image);
    /// The identity of a Mach-O file's slices: each UUID command under its slice's architecture, the
    /// versions from its version-minimum command. Null when no slice has a UUID.
    static std::shared_ptr<const CRNApplicationIdentiferModel> initWithInstallID(
        std::string installID, const EMBMachOFile& file);

    const ArchitectureUUIDMap& architectureUUIDMap() const { return m_architectureUUIDMap; }
    /// SHA-1 hex (40 lower-case digits) of the UUIDs joined in the order of their architecture names.
    const std::string& instanceIdentifier() const { return m_instanceIdentifier; }
    const std::string& installID() const { return m_installID; }
    /// The main bundle's identifier with "/" replaced by "_", or nullopt.
    const std::optional<std::string>& bundleIdentifier() const { return m_bundleIdentifier; }
    /// The app's icon (see CRNAppIconUtility), or null.
    const std::shared_ptr<const CRNIcon>& icon() const { return m_icon; }

    platform::foundation::VersionTriple minimumSDK() const { return m_minimumSDK; }
    platform::foundation::VersionTriple builtSDK() const { return m_builtSDK; }
    /// The versions as "major.minor.patch" ("0.0.0" when unknown).
    std::string minimumSDKString() const { return m_minimumSDK.string(); }
    std::string builtSDKString() const { return m_builtSDK.string(); }

private:
    CRNApplicationIdentiferModel() = default;

    // Derives the instance identifier and finds the icon and bundle identifier; null without UUIDs.
    static std::shared_ptr<const CRNApplicationIdentiferModel> finished(
        std::shared_ptr<CRNApplicationIdentiferModel> model);

    ArchitectureUUIDMap m_architectureUUIDMap;
    std::string m_instanceIdentifier;
    std::string m_installID;
    std::optional<std::string> m_bundleIdentifier;
    std::shared_ptr<const CRNIcon> m_icon;
    platform::foundation::VersionTriple m_minimumSDK;
    platform::foundation::VersionTriple m_builtSDK;
};

}
