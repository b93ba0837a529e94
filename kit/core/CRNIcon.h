#pragma once

#include "platform/foundation/Value.h"
#include "platform/ui/Geometry.h"

#include <filesystem>
#include <memory>
#include <string>

namespace platform::ui {
class Image;
}

namespace kit {

/// The app's icon as the kit platform reports it: PNG bytes, the hash of the icon file as the bundle
/// holds it, the size in pixels and whether the icon is drawn ready (no gloss added). Immutable.
class CRNIcon {
public:
    /// The largest icon area reported, in pixels: 152 × 152.
    static constexpr double kMaxSurfaceArea { 23104 };

    /// An icon of `data`, whose file hashes to `dataHash` (SHA-1 hex).
    CRNIcon(
        platform::foundation::Bytes data, std::string dataHash, platform::ui::Size size, bool prerendered);
    /// An icon of `data`, hashed itself.
    CRNIcon(platform::foundation::Bytes data, platform::ui::Size size, bool prerendered = true);

    /// The icon in the PNG file at `path`: the file's bytes hashed, the picture decoded and encoded again
    /// as PNG for data(). Null when the file cannot be read or is no PNG.
    static std::shared_ptr<const CRNIcon> initWithPNGImageAtPath(
        const std::filesystem::path& path, platform::ui::Size size, bool prerendered);

    const platform::foundation::Bytes& data() const { return m_data; }
    const std::string& dataHash() const { return m_dataHash; }
    /// Width and height in pixels.
    platform::ui::Size size() const { return m_size; }
    bool prerendered() const { return m_prerendered; }

    /// Width × height in pixels.
    double surfaceArea() const { return m_size.width * m_size.height; }
    /// Whether surfaceArea() is at most kMaxSurfaceArea.
    bool isWithinMaxSurfaceArea() const { return surfaceArea() <= kMaxSurfaceArea; }
    /// Whether surfaceArea() is greater than the area of `size`.
    bool largerThanSize(platform::ui::Size size) const { return surfaceArea() > size.width * size.height; }

    /// Whether the image's pixel area is at most kMaxSurfaceArea.
    static bool isWithinMaxSurfaceAreaWithImage(const platform::ui::Image& image);

private:
    platform::foundation::Bytes m_data;
    std::string m_dataHash;
    platform::ui::Size m_size;
    bool m_prerendered { false };
};

}
