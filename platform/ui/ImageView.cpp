#include "platform/ui/ImageView.h"

#include "platform/ui/GraphicsContext.h"
#include "platform/ui/Image.h"

#include <algorithm>

namespace platform::ui {

ImageView::ImageView(Rect frame)
    : View(frame)
{
    setUserInteractionEnabled(false);
}

ImageView::ImageView(const std::shared_ptr<const Image>& image)
    : View(Rect({}, image ? image->size() : Size {}))
    , m_image(image)
{
    setUserInteractionEnabled(false);
}

void ImageView::setImage(const std::shared_ptr<const Image>& image)
{
    m_image = image;
    invalidateIntrinsicContentSize();
    setNeedsDisplay();
}

void ImageView::setContentMode(ContentMode mode)
{
    m_contentMode = mode;
    setNeedsDisplay();
}

Rect ImageView::imageRect() const
{
    const auto& shown = m_highlighted && m_highlightedImage ? m_highlightedImage : m_image;
    if (!shown)
        return Rect::zero();
    Size box = bounds().size;
    Size picture = shown->size();
    Rect area { {}, box };
    switch (m_contentMode) {
    case ContentMode::ScaleToFill:
    case ContentMode::Redraw:
        return area;
    case ContentMode::ScaleAspectFit:
    case ContentMode::ScaleAspectFill: {
        if (picture.width <= 0 || picture.height <= 0)
            return area;
        double sx = box.width / picture.width;
        double sy = box.height / picture.height;
        double factor = m_contentMode == ContentMode::ScaleAspectFit ? std::min(sx, sy) : std::max(sx, sy);
        Size fitted { picture.width * factor, picture.height * factor };
        return { (box.width - fitted.width) / 2, (box.height - fitted.height) / 2, fitted.width,
            fitted.height };
    }
    case ContentMode::Center:
        return { (box.width - picture.width) / 2, (box.height - picture.height) / 2, picture.width,
            picture.height };
    case ContentMode::Top:
        return { (box.width - picture.width) / 2, 0, picture.width, picture.height };
    case ContentMode::Bottom:
        return { (box.width - picture.width) / 2, box.height - picture.height, picture.width,
            picture.height };
    case ContentMode::Left:
        return { 0, (box.height - picture.height) / 2, picture.width, picture.height };
    case ContentMode::Right:
        return { box.width - picture.width, (box.height - picture.height) / 2, picture.width,
            picture.height };
    }
    return area;
}

Size ImageView::intrinsicContentSize() const
{
    if (!m_image)
        return { noIntrinsicMetric, noIntrinsicMetric };
    return m_image->size();
}

Size ImageView::sizeThatFits(Size size) const
{
    return m_image ? m_image->size() : size;
}

void ImageView::draw(GraphicsContext& context)
{
    const auto& shown = m_highlighted && m_highlightedImage ? m_highlightedImage : m_image;
    if (shown)
        context.drawImage(shown, imageRect());
}

std::string ImageView::describe() const
{
    std::string text = View::describe();
    if (m_image)
        text += " image "
            + (m_image->name().empty() ? toString(m_image->size()) : "\"" + m_image->name() + "\"");
    return text;
}

}
