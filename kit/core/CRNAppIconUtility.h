#pragma once

#include "kit/core/CRNIcon.h"

#include "platform/foundation/Value.h"
#include "platform/ui/Geometry.h"

#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace platform::foundation {
class Bundle;
}

namespace kit {

/// Finds the app's icon in its bundle: the largest PNG named by the information dictionary (or by the
/// customary icon names) whose pixel area is at most CRNIcon::kMaxSurfaceArea.
///
/// Sources, first that yields an icon: "CFBundleIcons~ipad", then "CFBundleIcons" (their
/// "CFBundlePrimaryIcon"'s "CFBundleIconFiles" and "UIPrerenderedIcon"); the top-level "CFBundleIconFiles";
/// "CFBundleIconFile"; the names "Icon.png", "Icon@2x.png", "Icon-72.png" and the like. A key of the
/// wrong kind logs "[Cairn] Info.plist field <key> appears malformed" and yields nothing; with no icon at
/// all, "[Cairn] Unable to locate application icon" is logged.
///
/// A name without the "png" extension also stands for its "@2x", "~ipad" and "@2x~ipad" variants, each
/// found as that name plus ".png" in the bundle's folder.
class CRNAppIconUtility {
public:
    /// Looks in `bundle`.
    explicit CRNAppIconUtility(std::shared_ptr<const platform::foundation::Bundle> bundle);
    /// Looks in the app's main bundle.
    CRNAppIconUtility();

    /// The icon, found on the first call and kept; null when there is none. Thread-safe.
    std::shared_ptr<const CRNIcon> applicationIcon();

    /// The image's size in pixels: its size in points × its scale.
    static platform::ui::Size sizeForImage(const platform::ui::Image& image);

    const platform::foundation::DictionaryRef& appInfoDictionary() const;
    const std::filesystem::path& iconRootPath() const;

private:
    std::shared_ptr<const CRNIcon> fetchApplicationIcon() const;
    std::shared_ptr<const CRNIcon> iconFromBundleIcons(std::string_view key) const;
    std::shared_ptr<const CRNIcon> largestIconInIconNames(
        const std::vector<std::string>& names, bool prerendered) const;

    std::shared_ptr<const platform::foundation::Bundle> m_bundle;
    std::once_flag m_found;
    std::shared_ptr<const CRNIcon> m_icon;
};

}
