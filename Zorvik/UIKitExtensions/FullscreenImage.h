#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace platform::ui {
class Image;
}

namespace zorvik {

/// Full-screen background pictures have a plain name and a variant named with "-667" for screens exactly
/// 667 points high.
struct FullscreenImage {
    /// The name of the variant of `name` for a screen `screenHeight` points high.
    static std::string nameForScreenHeight(std::string_view name, double screenHeight);
    /// The name of the variant of `name` for the main screen.
    static std::string name(std::string_view name);
    /// The picture of the main screen's variant of `name`, or null when there is none.
    static std::shared_ptr<const platform::ui::Image> fullscreen(std::string_view name);
};

}
