#pragma once

#include "platform/ui/Color.h"
#include "platform/ui/Font.h"
#include "platform/ui/Geometry.h"

#include <memory>
#include <string_view>

namespace platform::ui {
class Label;
}

namespace zorvik {

/// The app's font `name` at `size` points, or the system font at that size where it is not installed.
platform::ui::Font appFont(std::string_view name, double size);

/// A label at `frame` in the app font `font` at `size` points, coloured `colour`.
std::shared_ptr<platform::ui::Label> textLabel(
    platform::ui::Rect frame, std::string_view font, double size, platform::ui::Color colour);

/// A centred white label, as the onboarding and PIN screens set their titles and prompts.
std::shared_ptr<platform::ui::Label> whiteLabel(
    platform::ui::Rect frame, double size, std::string_view font = "OpenSans-Regular");

}
