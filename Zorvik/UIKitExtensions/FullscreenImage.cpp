#include "Zorvik/UIKitExtensions/FullscreenImage.h"

#include "platform/ui/Image.h"
#include "platform/ui/Screen.h"

namespace zorvik {

std::string FullscreenImage::nameForScreenHeight(std::string_view name, double screenHeight)
{
    return std::string(name) + (screenHeight == 667 ? "-667" : "");
}

std::string FullscreenImage::name(std::string_view name)
{
    return nameForScreenHeight(name, platform::ui::Screen::main().bounds().size.height);
}

std::shared_ptr<const platform::ui::Image> FullscreenImage::fullscreen(std::string_view name)
{
    return platform::ui::Image::named(FullscreenImage::name(name));
}

}
