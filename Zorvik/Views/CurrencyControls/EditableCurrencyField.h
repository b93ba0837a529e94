#pragma once

#include "Zorvik/Views/CurrencyControls/CurrencyField.h"
#include "platform/ui/AttributedString.h"
#include "platform/ui/TextField.h"

#include <memory>
#include <optional>

namespace platform::ui {
class View;
}

namespace zorvik {

/// A money field the user types into: besides its amount, a form's focus order and styles reach its
/// placeholder, keyboard bar and Return key through this.
class EditableCurrencyField : public CurrencyField {
public:
    /// The placeholder shown while the field is empty, or nothing.
    virtual std::optional<platform::ui::AttributedString> attributedPlaceHolder() const = 0;
    /// Sets the placeholder.
    virtual void setAttributedPlaceHolder(const std::optional<platform::ui::AttributedString>& placeholder)
        = 0;
    /// The bar shown on top of the keyboard while the field edits, or null.
    virtual std::shared_ptr<platform::ui::View> inputAccessoryView() const = 0;
    /// Sets the bar shown on top of the keyboard.
    virtual void setInputAccessoryView(const std::shared_ptr<platform::ui::View>& view) = 0;
    /// The Return key's label.
    virtual platform::ui::ReturnKeyType returnKeyType() const = 0;
    /// Sets the Return key's label.
    virtual void setReturnKeyType(platform::ui::ReturnKeyType type) = 0;
};

}
