#pragma once

#include "Zorvik/Views/XibViews/XibViewObjcmb.h"

#include <memory>
#include <string>

namespace platform::ui {
class Image;
class ImageView;
class Label;
}

namespace zorvik {

/// An icon above a line of text, laid out by the nib "FailedPinAttemptView" ("FailedPinAttemptView4" on a
/// 480-point-high screen): the create-PIN screen's explanation and the error message of every PIN screen.
class FailedPinAttemptView : public XibViewObjcmb {
public:
    /// An empty view; make one with make() or from a nib (no icon, empty text).
    FailedPinAttemptView();

    /// A view showing `image` (none: no icon) and `text`.
    static std::shared_ptr<FailedPinAttemptView> make(
        const std::shared_ptr<const platform::ui::Image>& image, const std::string& text);

    std::string className() const override { return "FailedPinAttemptView"; }
    /// Yes, for every nib: short screens get their own layout.
    bool shouldLoadShortIPhoneViewForNib(const std::string& name) const override;

    /// The icon, or null when the layout has no icon or none is set.
    std::shared_ptr<const platform::ui::Image> image() const;
    /// Sets the icon; nothing happens when the layout has no icon.
    void setImage(const std::shared_ptr<const platform::ui::Image>& image);
    /// The text.
    std::string text() const;
    /// Sets the text.
    void setText(const std::string& text);

private:
    std::weak_ptr<platform::ui::ImageView> m_imageView;
    std::weak_ptr<platform::ui::Label> m_textView;
};

}
