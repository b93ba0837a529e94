#pragma once

#include "platform/ui/NibRegistry.h"
#include "platform/ui/TextField.h"

#include <cstddef>
#include <memory>
#include <string>

namespace zorvik {

/// The description of a line item behind its number: the field shows "3. Design" in row 3 (counted from
/// 1), and the placeholder "3. add item description" while empty. The number and the ". " after it cannot
/// be changed, whatever the width of the number; the description goes in and out without them.
///
/// As editing begins an empty description shows the bare number ("3. ", typing goes after it); as it ends
/// an empty description clears the field so that the placeholder shows again. It is its own delegate.
class LineItemDescriptionTextField : public platform::ui::TextField, public platform::ui::TextFieldDelegate {
public:
    /// An empty field with the frame, for row 0.
    explicit LineItemDescriptionTextField(platform::ui::Rect frame = platform::ui::Rect::zero());
    /// A field placed by a nib.
    static std::shared_ptr<platform::ui::View> fromNib(const platform::ui::NibCoder& coder);

    std::string className() const override { return "LineItemDescriptionTextField"; }

    /// The row, counted from 0.
    std::size_t itemNumber() const { return m_itemNumber; }
    /// The number shown, counted from 1.
    std::size_t itemNumberForDisplay() const { return m_itemNumber + 1; }
    /// Numbers the field for row `number` (from 0): the description keeps its text behind the new number,
    /// or the placeholder takes it.
    void setItemNumber(std::size_t number);

    /// The description: the field's text after the first ". ", or "" when it has none.
    std::string descriptionText() const;
    /// Shows `description` behind the row's number (the placeholder when it is empty).
    void setDescriptionText(const std::string& description);

    /// Refuses every change that reaches into the number and its ". ".
    bool shouldChangeCharacters(
        platform::ui::TextField&, platform::foundation::Utf16Range range, const std::string&) override;
    /// An empty description starts with the bare number.
    void didBeginEditing(platform::ui::TextField&) override;
    /// An empty description leaves the field empty.
    void didEndEditing(platform::ui::TextField&) override;

private:
    std::string prefix() const;

    std::size_t m_itemNumber { 0 };
};

}
