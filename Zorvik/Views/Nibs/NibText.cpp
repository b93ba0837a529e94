#include "Zorvik/Views/Nibs/NibText.h"

#include "platform/ui/Label.h"

#include <string>

namespace zorvik {

using platform::ui::Color;
using platform::ui::Font;
using platform::ui::Label;
using platform::ui::Rect;

Font appFont(std::string_view name, double size)
{
    return Font::named(std::string(name), size).value_or(Font::systemFont(size));
}

std::shared_ptr<Label> textLabel(Rect frame, std::string_view font, double size, Color colour)
{
    auto label = std::make_shared<Label>(frame);
    label->setFont(appFont(font, size));
    label->setTextColor(colour);
    return label;
}

std::shared_ptr<Label> whiteLabel(Rect frame, double size, std::string_view font)
{
    auto label = textLabel(frame, font, size, Color::white());
    label->setTextAlignment(platform::ui::TextAlignment::Center);
    return label;
}

}
