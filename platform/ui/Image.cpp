#include "platform/ui/Image.h"

#include "platform/foundation/Files.h"
#include "platform/ui/GraphicsContext.h"
#include "platform/ui/Screen.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <map>
#include <mutex>
#include <png.h>

namespace platform::ui {

namespace {

namespace fs = std::filesystem;

// The resource folder's PNG files by file name, and the images loaded from it.
struct ImageCache {
    std::mutex mutex;
    fs::path directory;
    bool indexed { false };
    std::map<std::string, fs::path> files;
    std::map<std::string, std::shared_ptr<const Image>> images;

    void refreshFor(const fs::path& current)
    {
        if (indexed && current == directory)
            return;
        directory = current;
        indexed = true;
        files.clear();
        images.clear();
        std::error_code error;
        std::vector<fs::path> found;
        for (fs::recursive_directory_iterator it(current, error), end; !error && it != end;
             it.increment(error)) {
            if (it->is_regular_file(error))
                found.push_back(it->path());
        }
        // Shallower and alphabetically earlier files win when two folders hold the same name.
        std::sort(found.begin(), found.end(), [](const fs::path& a, const fs::path& b) {
            auto depthA = std::distance(a.begin(), a.end());
            auto depthB = std::distance(b.begin(), b.end());
            return depthA != depthB ? depthA < depthB : a < b;
        });
        for (auto& path : found)
            files.emplace(path.filename().string(), path);
    }
};

ImageCache& cache()
{
    static ImageCache instance;
    return instance;
}

}

Image::Image(int pixelWidth, int pixelHeight, std::vector<std::uint8_t> rgba, double scale, std::string name)
    : m_pixelWidth(pixelWidth)
    , m_pixelHeight(pixelHeight)
    , m_pixels(std::move(rgba))
    , m_scale(scale > 0 ? scale : 1)
    , m_name(std::move(name))
{
}

std::shared_ptr<const Image> Image::fromPixels(
    int pixelWidth, int pixelHeight, std::vector<std::uint8_t> rgba, double scale)
{
    if (pixelWidth < 0 || pixelHeight < 0
        || rgba.size() != std::size_t(pixelWidth) * std::size_t(pixelHeight) * 4)
        return nullptr;
    return std::shared_ptr<const Image>(new Image(pixelWidth, pixelHeight, std::move(rgba), scale, {}));
}

std::shared_ptr<const Image> Image::fromPNGData(const std::vector<std::uint8_t>& data, double scale)
{
    if (data.empty())
        return nullptr;
    png_image png {};
    png.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&png, data.data(), data.size()))
        return nullptr;
    png.format = PNG_FORMAT_RGBA;
    std::vector<std::uint8_t> pixels(PNG_IMAGE_SIZE(png));
    if (!png_image_finish_read(&png, nullptr, pixels.data(), 0, nullptr)) {
        png_image_free(&png);
        return nullptr;
    }
    return fromPixels(int(png.width), int(png.height), std::move(pixels), scale);
}

std::shared_ptr<const Image> Image::named(const std::string& name)
{
    if (name.empty())
        return nullptr;
    fs::path requested(name);
    std::string extension = requested.has_extension() ? requested.extension().string() : ".png";
    std::string base = requested.has_extension() ? requested.replace_extension().string() : name;

    int preferred = std::clamp(int(std::lround(Screen::main().scale())), 1, 3);
    std::vector<int> scales { preferred };
    for (int scale = 3; scale >= 2; --scale) {
        if (scale != preferred)
            scales.push_back(scale);
    }
    if (preferred != 1)
        scales.push_back(1);

    auto& images = cache();
    std::lock_guard lock(images.mutex);
    images.refreshFor(foundation::Files::bundleDirectory());
    std::string key = name + "@" + std::to_string(preferred);
    if (auto it = images.images.find(key); it != images.images.end())
        return it->second;
    for (int scale : scales) {
        std::string fileName
            = scale == 1 ? base + extension : base + "@" + std::to_string(scale) + "x" + extension;
        auto file = images.files.find(fileName);
        if (file == images.files.end())
            continue;
        auto bytes = foundation::Files::readBytes(file->second);
        auto decoded = bytes ? fromPNGData(*bytes, scale) : nullptr;
        if (!decoded)
            continue;
        auto image = std::shared_ptr<const Image>(
            new Image(decoded->m_pixelWidth, decoded->m_pixelHeight, decoded->m_pixels, scale, name));
        images.images.emplace(key, image);
        return image;
    }
    return nullptr;
}

Color Image::pixelColor(int x, int y) const
{
    if (x < 0 || y < 0 || x >= m_pixelWidth || y >= m_pixelHeight)
        return Color::clear();
    const std::uint8_t* pixel = &m_pixels[(std::size_t(y) * std::size_t(m_pixelWidth) + std::size_t(x)) * 4];
    return Color::fromBytes(pixel[0], pixel[1], pixel[2], pixel[3] / 255.0);
}

std::vector<std::uint8_t> Image::pngData() const
{
    if (m_pixelWidth == 0 || m_pixelHeight == 0)
        return {};
    png_image png {};
    png.version = PNG_IMAGE_VERSION;
    png.width = png_uint_32(m_pixelWidth);
    png.height = png_uint_32(m_pixelHeight);
    png.format = PNG_FORMAT_RGBA;
    png_alloc_size_t size = 0;
    if (!png_image_write_to_memory(&png, nullptr, &size, 0, m_pixels.data(), 0, nullptr))
        return {};
    std::vector<std::uint8_t> data(size);
    if (!png_image_write_to_memory(&png, data.data(), &size, 0, m_pixels.data(), 0, nullptr))
        return {};
    data.resize(size);
    return data;
}

std::shared_ptr<const Image> Image::scaledToSize(Size size, double scale) const
{
    auto context = GraphicsContext::bitmap(size, scale);
    context->drawImage(shared_from_this(), { {}, size });
    return context->makeImage();
}

}
