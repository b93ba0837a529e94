#include "platform/ui/GraphicsContext.h"

#include "platform/ui/Image.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace platform::ui {

namespace {

// Paints a colour (components 0...1) over an RGBA pixel with source-over blending.
void blend(std::uint8_t* pixel, double red, double green, double blue, double alpha)
{
    double destinationAlpha = pixel[3] / 255.0;
    double outAlpha = alpha + destinationAlpha * (1 - alpha);
    double source[3] = { red, green, blue };
    for (int c = 0; c < 3; ++c) {
        double blended = outAlpha > 0
            ? (source[c] * alpha + pixel[c] / 255.0 * destinationAlpha * (1 - alpha)) / outAlpha
            : 0;
        pixel[c] = std::uint8_t(std::lround(blended * 255));
    }
    pixel[3] = std::uint8_t(std::lround(outAlpha * 255));
}

}

GraphicsContext::GraphicsContext(Size size)
    : m_size(size)
{
}

std::unique_ptr<GraphicsContext> GraphicsContext::bitmap(Size size, double scale, bool opaque)
{
    auto context = std::make_unique<GraphicsContext>(size);
    context->m_scale = scale > 0 ? scale : 1;
    context->m_hasBitmap = true;
    context->m_pixelWidth = std::max(0, int(std::lround(size.width * context->m_scale)));
    context->m_pixelHeight = std::max(0, int(std::lround(size.height * context->m_scale)));
    context->m_pixels.assign(
        std::size_t(context->m_pixelWidth) * std::size_t(context->m_pixelHeight) * 4, opaque ? 255 : 0);
    return context;
}

void GraphicsContext::moveTo(Point point)
{
    PathElement element;
    element.kind = PathElement::Kind::MoveTo;
    element.point = point;
    m_path.push_back(element);
}

void GraphicsContext::addLineTo(Point point)
{
    PathElement element;
    element.kind = PathElement::Kind::LineTo;
    element.point = point;
    m_path.push_back(element);
}

void GraphicsContext::addArc(Point center, double radius, double startAngle, double endAngle, bool clockwise)
{
    PathElement element;
    element.kind = PathElement::Kind::Arc;
    element.point = center;
    element.radius = radius;
    element.startAngle = startAngle;
    element.endAngle = endAngle;
    element.clockwise = clockwise;
    m_path.push_back(element);
}

void GraphicsContext::addRect(const Rect& rect)
{
    PathElement element;
    element.kind = PathElement::Kind::Rect;
    element.rect = rect;
    m_path.push_back(element);
}

void GraphicsContext::closePath()
{
    PathElement element;
    element.kind = PathElement::Kind::Close;
    m_path.push_back(element);
}

void GraphicsContext::strokePath()
{
    DrawOperation operation;
    operation.kind = DrawOperation::Kind::Stroke;
    operation.path = std::exchange(m_path, {});
    operation.color = m_strokeColor;
    operation.lineWidth = m_lineWidth;
    m_operations.push_back(std::move(operation));
}

void GraphicsContext::fillPath()
{
    for (const auto& element : m_path) {
        if (element.kind == PathElement::Kind::Rect)
            paintRect(element.rect, m_fillColor);
    }
    DrawOperation operation;
    operation.kind = DrawOperation::Kind::Fill;
    operation.path = std::exchange(m_path, {});
    operation.color = m_fillColor;
    m_operations.push_back(std::move(operation));
}

void GraphicsContext::fillRect(const Rect& rect)
{
    auto pending = std::exchange(m_path, {});
    addRect(rect);
    fillPath();
    m_operations.back().rect = rect;
    m_path = std::move(pending);
}

void GraphicsContext::drawImage(const std::shared_ptr<const Image>& image, const Rect& rect)
{
    if (!image)
        return;
    paintImage(*image, rect);
    DrawOperation operation;
    operation.kind = DrawOperation::Kind::Image;
    operation.rect = rect;
    operation.image = image;
    m_operations.push_back(std::move(operation));
}

void GraphicsContext::drawText(const std::string& text, Point point)
{
    DrawOperation operation;
    operation.kind = DrawOperation::Kind::Text;
    operation.color = m_fillColor;
    operation.rect = { point, Size {} };
    operation.text = text;
    m_operations.push_back(std::move(operation));
}

std::shared_ptr<const Image> GraphicsContext::makeImage() const
{
    if (!m_hasBitmap)
        return nullptr;
    return Image::fromPixels(m_pixelWidth, m_pixelHeight, m_pixels, m_scale);
}

void GraphicsContext::paintRect(const Rect& rect, const Color& color)
{
    if (!m_hasBitmap)
        return;
    int left = std::clamp(int(std::floor(rect.minX() * m_scale)), 0, m_pixelWidth);
    int right = std::clamp(int(std::ceil(rect.maxX() * m_scale)), 0, m_pixelWidth);
    int top = std::clamp(int(std::floor(rect.minY() * m_scale)), 0, m_pixelHeight);
    int bottom = std::clamp(int(std::ceil(rect.maxY() * m_scale)), 0, m_pixelHeight);
    for (int y = top; y < bottom; ++y) {
        for (int x = left; x < right; ++x) {
            std::uint8_t* pixel
                = &m_pixels[(std::size_t(y) * std::size_t(m_pixelWidth) + std::size_t(x)) * 4];
            blend(pixel, color.redComponent(), color.greenComponent(), color.blueComponent(),
                color.alphaComponent());
        }
    }
}

void GraphicsContext::paintImage(const Image& image, const Rect& rect)
{
    if (!m_hasBitmap || rect.isEmpty() || image.pixelWidth() == 0 || image.pixelHeight() == 0)
        return;
    double left = rect.minX() * m_scale;
    double top = rect.minY() * m_scale;
    double width = (rect.maxX() - rect.minX()) * m_scale;
    double height = (rect.maxY() - rect.minY()) * m_scale;
    int firstX = std::clamp(int(std::floor(left)), 0, m_pixelWidth);
    int lastX = std::clamp(int(std::ceil(left + width)), 0, m_pixelWidth);
    int firstY = std::clamp(int(std::floor(top)), 0, m_pixelHeight);
    int lastY = std::clamp(int(std::ceil(top + height)), 0, m_pixelHeight);
    const auto& source = image.pixels();
    for (int y = firstY; y < lastY; ++y) {
        // Each target pixel takes the source pixel under its centre.
        int sourceY
            = std::clamp(int((y + 0.5 - top) / height * image.pixelHeight()), 0, image.pixelHeight() - 1);
        for (int x = firstX; x < lastX; ++x) {
            int sourceX
                = std::clamp(int((x + 0.5 - left) / width * image.pixelWidth()), 0, image.pixelWidth() - 1);
            const std::uint8_t* from
                = &source[(std::size_t(sourceY) * std::size_t(image.pixelWidth()) + std::size_t(sourceX))
                    * 4];
            std::uint8_t* to = &m_pixels[(std::size_t(y) * std::size_t(m_pixelWidth) + std::size_t(x)) * 4];
            blend(to, from[0] / 255.0, from[1] / 255.0, from[2] / 255.0, from[3] / 255.0);
        }
    }
}

}
