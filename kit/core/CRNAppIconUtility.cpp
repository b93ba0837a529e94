#include "kit/core/CRNAppIconUtility.h"

#include "kit/core/Cairn.h"

#include "platform/foundation/Array.h"
#include "platform/foundation/Bundle.h"
#include "platform/foundation/Dictionary.h"
#include "platform/foundation/Files.h"
#include "platform/foundation/Log.h"
#include "platform/ui/Image.h"

#include <algorithm>
#include <cctype>

namespace kit {

using platform::foundation::Bundle;
using platform::foundation::Value;

namespace {

constexpr const char* kFixedIconNames[] = { "Icon.png", "Icon@2x.png", "Icon-72.png", "Icon-72@2x.png",
    "Icon-Small.png", "Icon-Small@2x.png", "Icon-Small-50.png", "Icon-Small-50@2x.png" };

void logMalformed(std::string_view key)
{
    platform::foundation::Log(Cairn::kLogPrefix)
        .write("Info.plist field " + std::string(key) + " appears malformed");
}

bool hasPNGExtension(std::string_view name)
{
    auto extension = std::filesystem::path(name).extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
        [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension == ".png";
}

// The strings of an array of names, or nullopt (logged) when the value is no array.
std::optional<std::vector<std::string>> namesIn(const Value& value, std::string_view key)
{
    auto list = value.array();
    if (!list) {
        logMalformed(key);
        return std::nullopt;
    }
    std::vector<std::string> names;
    for (const auto& name : *list) {
        if (const auto* text = name.string())
            names.push_back(*text);
    }
    return names;
}

}

CRNAppIconUtility::CRNAppIconUtility(std::shared_ptr<const Bundle> bundle)
    : m_bundle(std::move(bundle))
{
}

CRNAppIconUtility::CRNAppIconUtility()
    : CRNAppIconUtility(Bundle::main())
{
}

std::shared_ptr<const CRNIcon> CRNAppIconUtility::applicationIcon()
{
    std::call_once(m_found, [this] { m_icon = fetchApplicationIcon(); });
    return m_icon;
}

platform::ui::Size CRNAppIconUtility::sizeForImage(const platform::ui::Image& image)
{
    auto points = image.size();
    return { points.width * image.scale(), points.height * image.scale() };
}

const platform::foundation::DictionaryRef& CRNAppIconUtility::appInfoDictionary() const
{
    return m_bundle->infoDictionary();
}

const std::filesystem::path& CRNAppIconUtility::iconRootPath() const
{
    return m_bundle->bundlePath();
}

std::shared_ptr<const CRNIcon> CRNAppIconUtility::fetchApplicationIcon() const
{
    for (auto key : { "CFBundleIcons~ipad", "CFBundleIcons" }) {
        if (auto icon = iconFromBundleIcons(key))
            return icon;
    }
    const auto& info = appInfoDictionary();
    if (info->contains("CFBundleIconFiles")) {
        auto names = namesIn(info->get("CFBundleIconFiles"), "CFBundleIconFiles");
        if (auto icon = names ? largestIconInIconNames(*names, false) : nullptr)
            return icon;
    }
    if (info->contains("CFBundleIconFile")) {
        auto file = info->get("CFBundleIconFile");
        const auto* name = file.string();
        if (!name)
            logMalformed("CFBundleIconFile");
        else if (auto icon = largestIconInIconNames({ *name }, false))
            return icon;
    }
    if (auto icon = largestIconInIconNames({ std::begin(kFixedIconNames), std::end(kFixedIconNames) }, false))
        return icon;
    platform::foundation::Log(Cairn::kLogPrefix).write("Unable to locate application icon");
    return nullptr;
}

std::shared_ptr<const CRNIcon> CRNAppIconUtility::iconFromBundleIcons(std::string_view key) const
{
    auto icons = appInfoDictionary()->get(key);
    if (icons.isNull())
        return nullptr;
    if (!icons.dictionary()) {
        logMalformed(key);
        return nullptr;
    }
    auto primary = icons.dictionary()->get("CFBundlePrimaryIcon").dictionary();
    if (!primary) {
        logMalformed("CFBundlePrimaryIcon");
        return nullptr;
    }
    auto names = namesIn(primary->get("CFBundleIconFiles"), "CFBundleIconFiles");
    if (!names)
        return nullptr;
    return largestIconInIconNames(*names, primary->get("UIPrerenderedIcon").boolValue());
}

std::shared_ptr<const CRNIcon> CRNAppIconUtility::largestIconInIconNames(
    const std::vector<std::string>& names, bool prerendered) const
{
    std::vector<std::string> candidates;
    auto add = [&](std::string name) {
        if (std::find(candidates.begin(), candidates.end(), name) == candidates.end())
            candidates.push_back(std::move(name));
    };
    for (const auto& name : names) {
        add(name);
        if (!hasPNGExtension(name)) {
            for (auto variant : { "@2x", "~ipad", "@2x~ipad" })
                add(name + variant);
        }
    }

    std::optional<std::filesystem::path> best;
    platform::ui::Size bestSize;
    for (const auto& name : candidates) {
        auto path = iconRootPath() / (hasPNGExtension(name) ? name : name + ".png");
        auto bytes = platform::foundation::Files::readBytes(path);
        auto image = bytes ? platform::ui::Image::fromPNGData(*bytes) : nullptr;
        if (!image)
            continue;
        auto size = sizeForImage(*image);
        double area = size.width * size.height;
        if (area > bestSize.width * bestSize.height && CRNIcon::isWithinMaxSurfaceAreaWithImage(*image)) {
            best = path;
            bestSize = size;
        }
    }
    return best ? CRNIcon::initWithPNGImageAtPath(*best, bestSize, prerendered) : nullptr;
}

}
