#include "Zorvik/Views/LineItemsView/LineItemDescriptionTextField.h"

#include "platform/foundation/Text.h"

namespace zorvik {

namespace {

constexpr std::string_view kSeparator = ". ";

}

LineItemDescriptionTextField::LineItemDescriptionTextField(platform::ui::Rect frame)
    : TextField(frame)
{
    setDelegateToSelf();
    setItemNumber(0);
}

std::shared_ptr<platform::ui::View> LineItemDescriptionTextField::fromNib(const platform::ui::NibCoder& coder)
{
    return std::make_shared<LineItemDescriptionTextField>(coder.frame);
}

void LineItemDescriptionTextField::setItemNumber(std::size_t number)
{
    std::string description = descriptionText();
    m_itemNumber = number;
    if (text().empty())
        setPlaceholder(prefix() + "add item description");
    else
        setText(prefix() + description);
}

std::string LineItemDescriptionTextField::descriptionText() const
{
    auto separator = text().find(kSeparator);
    return separator == std::string::npos ? std::string() : text().substr(separator + kSeparator.size());
}

void LineItemDescriptionTextField::setDescriptionText(const std::string& description)
{
    setText(description.empty() ? std::string() : prefix() + description);
    setItemNumber(m_itemNumber);
}

bool LineItemDescriptionTextField::shouldChangeCharacters(
    platform::ui::TextField&, platform::foundation::Utf16Range range, const std::string&)
{
    std::size_t fixed = text().starts_with(prefix()) ? platform::foundation::utf16Length(prefix()) : 0;
    return range.location >= fixed;
}

void LineItemDescriptionTextField::didBeginEditing(platform::ui::TextField&)
{
    if (descriptionText().empty())
        setText(prefix());
}

void LineItemDescriptionTextField::didEndEditing(platform::ui::TextField&)
{
    if (descriptionText().empty())
        setText(std::string());
}

std::string LineItemDescriptionTextField::prefix() const
{
    return std::to_string(itemNumberForDisplay()) + std::string(kSeparator);
}

}
