#pragma once

#include "platform/ui/Color.h"
#include "platform/ui/Geometry.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace platform::ui {

/// An immutable picture: RGBA pixels (8 bits each, not premultiplied) and a scale, the number of pixels per
/// point. Images are shared as std::shared_ptr<const Image>.
class Image : public std::enable_shared_from_this<Image> {
public:
    /// An image of the given pixels (width x height x 4 bytes, row by row); null when the sizes do not match.
    static std::shared_ptr<const Image> fromPixels(
        int pixelWidth, int pixelHeight, std::vector<std::uint8_t> rgba, double scale = 1);
    /// The image encoded in PNG bytes, or null when they are empty or not a PNG.
    static std::shared_ptr<const Image> fromPNGData(const std::vector<std::uint8_t>& data, double scale = 1);
    /// The image of that name in the app's resource folder (foundation's Files::bundleDirectory, searched
    /// with its sub-folders), or null when there is none. A name without extension finds "name.png"; the
    /// variant for the main screen's scale ("name@2x.png") is taken first, then the others, then the plain
    /// file. Loaded images are kept and shared until the resource folder changes.
    static std::shared_ptr<const Image> named(const std::string& name);

    /// The name the image was loaded under ("" when made otherwise).
    const std::string& name() const { return m_name; }
    /// The size in points: pixels divided by the scale.
    Size size() const { return { m_pixelWidth / m_scale, m_pixelHeight / m_scale }; }
    /// Pixels per point.
    double scale() const { return m_scale; }
    /// The width in pixels.
    int pixelWidth() const { return m_pixelWidth; }
    /// The height in pixels.
    int pixelHeight() const { return m_pixelHeight; }
    /// The RGBA bytes, row by row.
    const std::vector<std::uint8_t>& pixels() const { return m_pixels; }
    /// The colour of one pixel (clear outside the image).
    Color pixelColor(int x, int y) const;

    /// The image encoded as PNG (8-bit RGBA).
    std::vector<std::uint8_t> pngData() const;

    /// The image redrawn into a transparent bitmap of `size` points at `scale`.
    std::shared_ptr<const Image> scaledToSize(Size size, double scale = 1) const;

private:
    Image(int pixelWidth, int pixelHeight, std::vector<std::uint8_t> rgba, double scale, std::string name);

    int m_pixelWidth { 0 };
    int m_pixelHeight { 0 };
    std::vector<std::uint8_t> m_pixels;
    double m_scale { 1 };
    std::string m_name;
};

}
