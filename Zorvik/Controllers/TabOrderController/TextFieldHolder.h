#pragma once

#include <memory>

namespace platform::ui {
class Control;
class TextField;
}

namespace zorvik {

/// A control that stands for a text field it holds (an amount view around its amount field, say): it
/// forwards becoming and resigning the first responder to that field and sends the field's editing events
/// as its own, and a tab order reads and labels the field it names here.
class TextFieldHolder {
public:
    virtual ~TextFieldHolder() = default;

    /// The field held.
    virtual std::shared_ptr<platform::ui::TextField> heldTextField() const = 0;

    /// The text field a control is or holds, or null when it is neither a text field nor a holder.
    static std::shared_ptr<platform::ui::TextField> textFieldOf(platform::ui::Control& control);
};

}
