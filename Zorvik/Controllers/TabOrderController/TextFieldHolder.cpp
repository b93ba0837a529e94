#include "Zorvik/Controllers/TabOrderController/TextFieldHolder.h"

#include "platform/ui/TextField.h"

namespace zorvik {

std::shared_ptr<platform::ui::TextField> TextFieldHolder::textFieldOf(platform::ui::Control& control)
{
    if (auto* holder = dynamic_cast<TextFieldHolder*>(&control))
        return holder->heldTextField();
    return std::dynamic_pointer_cast<platform::ui::TextField>(control.shared_from_this());
}

}
