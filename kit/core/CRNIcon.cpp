#include "kit/core/CRNIcon.h"

#include "kit/core/CRNDataHelpers.h"

#include "platform/foundation/Files.h"
#include "platform/ui/Image.h"

namespace kit {

using platform::foundation::Bytes;
using platform::ui::Size;

CRNIcon::CRNIcon(Bytes data, std::string dataHash, Size size, bool prerendered)
    : m_data(std::move(data))
    , m_dataHash(std::move(dataHash))
    , m_size(size)
    , m_prerendered(prerendered)
{
}

CRNIcon::CRNIcon(Bytes data, Size size, bool prerendered)
    : CRNIcon(data, CRNHashNSData(data), size, prerendered)
{
}

std::shared_ptr<const CRNIcon> CRNIcon::initWithPNGImageAtPath(
    const std::filesystem::path& path, Size size, bool prerendered)
{
    auto bytes = platform::foundation::Files::readBytes(path);
    if (!bytes)
        return nullptr;
    auto image = platform::ui::Image::fromPNGData(*bytes);
    if (!image)
        return nullptr;
    return std::make_shared<const CRNIcon>(image->pngData(), CRNHashNSData(*bytes), size, prerendered);
}

bool CRNIcon::isWithinMaxSurfaceAreaWithImage(const platform::ui::Image& image)
{
    return static_cast<double>(image.pixelWidth()) * image.pixelHeight() <= kMaxSurfaceArea;
}

}
