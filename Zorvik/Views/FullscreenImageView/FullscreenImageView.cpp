#include "Zorvik/Views/FullscreenImageView/FullscreenImageView.h"

#include "Zorvik/UIKitExtensions/FullscreenImage.h"
#include "platform/foundation/Value.h"

namespace zorvik {

FullscreenImageView::FullscreenImageView(platform::ui::Rect frame)
    : ImageView(frame)
{
}

void FullscreenImageView::setFullscreen(const std::string& name)
{
    m_fullscreen = name;
    setImage(FullscreenImage::fullscreen(name));
}

bool FullscreenImageView::setNibAttribute(
    const std::string& keyPath, const platform::foundation::Value& value)
{
    const std::string* name = value.string();
    if (keyPath != "fullscreen" || !name)
        return false;
    setFullscreen(*name);
    return true;
}

}
