#pragma once

#include "platform/ui/View.h"

#include <memory>

namespace platform::ui {

class Image;

/// How an image view fits its image into its bounds.
enum class ContentMode {
    ScaleToFill,
    ScaleAspectFit,
    ScaleAspectFill,
    Redraw,
    Center,
    Top,
    Bottom,
    Left,
    Right,
};

/// A view that shows an image. Image views take no touches unless told to.
class ImageView : public View {
public:
    /// An image view with the frame and no image.
    explicit ImageView(Rect frame = Rect::zero());
    /// An image view sized to the image (at the origin).
    explicit ImageView(const std::shared_ptr<const Image>& image);

    /// "ImageView".
    std::string className() const override { return "ImageView"; }

    /// The image shown, or null.
    const std::shared_ptr<const Image>& image() const { return m_image; }
    /// Shows an image (or nothing).
    virtual void setImage(const std::shared_ptr<const Image>& image);
    /// The image shown while highlighted, or null.
    const std::shared_ptr<const Image>& highlightedImage() const { return m_highlightedImage; }
    /// Sets the image shown while highlighted.
    void setHighlightedImage(const std::shared_ptr<const Image>& image) { m_highlightedImage = image; }
    /// Whether the highlighted image is shown.
    bool isHighlighted() const { return m_highlighted; }
    /// Shows the highlighted image or the plain one.
    void setHighlighted(bool highlighted) { m_highlighted = highlighted; }

    /// How the image fits into the bounds (scale to fill unless set).
    ContentMode contentMode() const { return m_contentMode; }
    /// Sets how the image fits into the bounds.
    void setContentMode(ContentMode mode);
    /// Where the image lands inside the bounds under the content mode; the zero rectangle without image.
    Rect imageRect() const;

    /// The image's size in points.
    Size intrinsicContentSize() const override;
    /// The image's size, or the size offered without image.
    Size sizeThatFits(Size size) const override;
    /// Draws the shown image into imageRect().
    void draw(GraphicsContext& context) override;

    /// Frame and the image's name (or size).
    std::string describe() const override;

private:
    std::shared_ptr<const Image> m_image;
    std::shared_ptr<const Image> m_highlightedImage;
    bool m_highlighted { false };
    ContentMode m_contentMode { ContentMode::ScaleToFill };
};

}
