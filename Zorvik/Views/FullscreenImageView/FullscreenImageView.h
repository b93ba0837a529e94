#pragma once

#include "platform/ui/ImageView.h"
#include "platform/ui/NibAttributeTarget.h"

#include <optional>
#include <string>

namespace zorvik {

/// A full-screen background picture that picks the variant made for the main screen by itself. Nibs set its
/// picture's base name through the attribute "fullscreen".
class FullscreenImageView : public platform::ui::ImageView, public platform::ui::NibAttributeTarget {
public:
    /// An image view with the frame and no picture.
    explicit FullscreenImageView(platform::ui::Rect frame = platform::ui::Rect::zero());

    std::string className() const override { return "FullscreenImageView"; }

    /// The base name of the picture, or nothing while it was never set.
    const std::optional<std::string>& fullscreen() const { return m_fullscreen; }
    /// Stores the base name and shows the main screen's variant of it (no picture when there is none).
    void setFullscreen(const std::string& name);

    /// Takes "fullscreen" (a text) from nibs.
    bool setNibAttribute(const std::string& keyPath, const platform::foundation::Value& value) override;

private:
    std::optional<std::string> m_fullscreen;
};

}
