#include "kit/crash/EMBSymbolResolver.h"

#include "kit/crash/capture/EMBBinaryImage.h"
#include "kit/crash/capture/EMBFileReader.h"
#include "platform/foundation/Dictionary.h"
#include "platform/foundation/Log.h"

#include <algorithm>
#include <filesystem>
#include <memory>

namespace kit {
namespace {

void log(const std::string& message)
{
    platform::foundation::Log().write("[Ember:Crash:SymbolResolver] " + message);
}

std::optional<std::uint64_t> unsignedValue(const platform::foundation::Value& value)
{
    auto number = value.integer();
    return number && *number >= 0 ? std::optional<std::uint64_t>(*number) : std::nullopt;
}

std::optional<EMBSymbolResolver::BinaryImage> loadedImage(const platform::foundation::Dictionary& load)
{
    auto base = unsignedValue(load.get("base"));
    auto size = unsignedValue(load.get("size"));
    if (!base || !size)
        return std::nullopt;
    platform::foundation::Value pathValue = load.get("path");
    platform::foundation::Value uuidValue = load.get("uuid");
    auto path = pathValue.string();
    auto uuid = uuidValue.string();
    return EMBSymbolResolver::BinaryImage { path ? *path : std::string(),
        uuid ? std::optional<std::string>(*uuid) : std::nullopt, *base, *size };
}

}

bool EMBSymbolResolver::loadBinaryImagesFromFile(const std::string& path)
{
    if (path.empty())
        return false;
    auto sections = EMBFileReadSections(path, false);
    if (!sections || sections->records.empty()) {
        log("failed to read binary image file " + path);
        return false;
    }
    if (sections->partial())
        log("binary image file " + path + " is damaged: reading its whole records");
    m_binaryImages.clear();
    for (const auto& record : sections->records) {
        if (auto load = record->get("load").dictionary()) {
            if (auto image = loadedImage(*load))
                m_binaryImages.push_back(std::move(*image));
        } else if (auto unload = record->get("unload").dictionary()) {
            // An unloaded image's range may be reused by the next one loaded: it must not name addresses.
            auto base = unsignedValue(unload->get("base"));
            auto loaded = std::find_if(m_binaryImages.rbegin(), m_binaryImages.rend(),
                [&](const BinaryImage& image) { return base == image.base; });
            if (loaded != m_binaryImages.rend())
                m_binaryImages.erase(std::next(loaded).base());
        }
    }
    std::stable_sort(m_binaryImages.begin(), m_binaryImages.end(),
        [](const BinaryImage& a, const BinaryImage& b) { return a.base < b.base; });
    return true;
}

const EMBSymbolResolver::BinaryImage* EMBSymbolResolver::loadedBinaryImageForPC(std::uint64_t address) const
{
    for (const BinaryImage& image : m_binaryImages) {
        if (address >= image.base && address - image.base < image.size)
            return &image;
    }
    return nullptr;
}

bool EMBSymbolResolver::updateStackFrame(EMBStackFrame& frame, AddressKind kind) const
{
    if (frame.address == 0)
        return false;
    const BinaryImage* crashed = loadedBinaryImageForPC(frame.address);
    if (crashed == nullptr || !crashed->uuid)
        return false;
    const LocalImage* local = localImage(*crashed->uuid);
    if (local == nullptr)
        return false;
    std::uint64_t address = local->base + (frame.address - crashed->base);
    auto symbol = local->symbols.symbolForAddress(address);
    if (symbol && kind == AddressKind::ReturnAddress && address == symbol->start) {
        address -= 2;
        symbol = local->symbols.symbolForAddress(address);
    }
    if (!symbol)
        return false;
    frame.symbol = symbol->name;
    if (address > symbol->start)
        frame.offset = address - symbol->start;
    frame.library = std::filesystem::path(crashed->path).filename().string();
    return true;
}

const EMBSymbolResolver::LocalImage* EMBSymbolResolver::localImage(const std::string& uuid) const
{
    auto known = m_localImages.find(uuid);
    if (known == m_localImages.end()) {
        std::optional<LocalImage> image;
        auto details = std::make_unique<EMBBinaryImageDetails>();
        if (EMBBinaryImageFindImageForUUID(uuid.c_str(), details.get())) {
            if (auto symbols = EMBImageSymbols::read(details->path, details->base, uuid))
                image = LocalImage { details->base, std::move(*symbols) };
        }
        known = m_localImages.emplace(uuid, std::move(image)).first;
    }
    return known->second ? &*known->second : nullptr;
}

}
