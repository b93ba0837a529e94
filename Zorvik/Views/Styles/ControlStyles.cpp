#include "Zorvik/Views/Styles/ControlStyles.h"

#include "platform/foundation/Text.h"
#include "platform/ui/AttributedString.h"
#include "platform/ui/Label.h"
#include "platform/ui/TextField.h"

#include <algorithm>
#include <optional>
#include <vector>

namespace zorvik {

using platform::foundation::uppercased;
using platform::foundation::Utf16Range;
using platform::ui::AttributedString;
using platform::ui::TextAttributes;

namespace {

// The UTF-16 position in `text` where the first occurrence of `search` begins, both compared in capitals.
// Each character is put in capitals on its own, so that a match found in the capitals can be traced back to
// the character it came from even where capitals are longer ("ß" gives "SS").
std::optional<std::size_t> upperCaseLocation(const std::string& text, const std::string& search)
{
    std::string upper;
    std::vector<std::size_t> originOfByte;
    std::size_t utf16Offset = 0;
    for (std::size_t i = 0; i < text.size();) {
        std::size_t length = platform::foundation::utf8CharacterLength(text, i);
        std::string character = text.substr(i, length);
        std::string capital = uppercased(character);
        upper += capital;
        originOfByte.insert(originOfByte.end(), capital.size(), utf16Offset);
        utf16Offset += platform::foundation::utf16Length(character);
        i += length;
    }
    auto found = upper.find(uppercased(search));
    if (found == std::string::npos)
        return std::nullopt;
    return found < originOfByte.size() ? originOfByte[found] : utf16Offset;
}

}

platform::ui::Color ControlStyles::defaultPlaceholderTextColour()
{
    return platform::ui::Color::fromBytes(233, 233, 233);
}

void ControlStyles::styleTextField(
    platform::ui::TextField& textField, const platform::ui::Color& placeholderTextColour)
{
    textField.setTintColor(placeholderTextColour);
    if (const auto& placeholder = textField.placeholder()) {
        TextAttributes attributes;
        attributes.foregroundColor = placeholderTextColour;
        attributes.font = textField.font();
        textField.setAttributedPlaceholder(AttributedString(*placeholder, attributes));
    }
}

void ControlStyles::underlineLabel(platform::ui::Label& lbl)
{
    TextAttributes attributes;
    attributes.underlineStyle = TextAttributes::underlineSingle;
    lbl.setAttributedText(AttributedString(lbl.text().value_or(""), attributes));
}

void ControlStyles::endOfStringFont(
    const std::string& searchText, platform::ui::Label& label, const std::string& fontName)
{
    const auto& text = label.text();
    if (!text)
        return;
    auto font = platform::ui::Font::named(fontName, label.font().pointSize());
    auto location = upperCaseLocation(*text, searchText);
    if (!font || !location)
        return;
    AttributedString attributed(*text);
    attributed.setFont(*font, Utf16Range { *location, attributed.length() - *location });
    label.setAttributedText(attributed);
}

}
