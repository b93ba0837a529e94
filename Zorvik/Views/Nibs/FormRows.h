#pragma once

#include "platform/ui/NibBuilder.h"

#include <memory>
#include <string>

namespace platform::ui {
class Label;
class TextField;
}

namespace zorvik {

class LineView;

/// One row of a business profile form's nib: a prompt on the left, the field beside it, a line under both.
struct FormRow {
    /// Each row's height, line included.
    static constexpr double kHeight = 50;

    std::shared_ptr<platform::ui::Label> prompt;
    std::shared_ptr<platform::ui::TextField> field;
    std::shared_ptr<LineView> line;

    /// Adds a row to `root`, `top` points down, with the prompt text, `field` (given its placeholder and the
    /// form's font) and the line, and wires the field's editing-began event to the owner's action
    /// `beganEditing`.
    static FormRow add(platform::ui::NibBuilder& nib, platform::ui::View& root, double top,
        const std::string& prompt, std::shared_ptr<platform::ui::TextField> field,
        const std::string& placeholder, const std::string& beganEditing);

    /// A plain text field of the forms, as nibs place them, with the keyboard's word capitalisation.
    static std::shared_ptr<platform::ui::TextField> textField();
    /// The top-level view of a form's content: as wide as the screen, `height` points high.
    static std::shared_ptr<platform::ui::View> root(platform::ui::NibBuilder& nib, double height);
};

}
