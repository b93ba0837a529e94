#pragma once

#include "platform/ui/Color.h"

#include <string>

namespace platform::ui {
class Label;
class TextField;
}

namespace zorvik {

/// Text styling shared by the screens: placeholder colours, underlined labels and a different font on the
/// end of a label's text.
class ControlStyles {
public:
    /// The placeholder colour of the app's text fields: 233, 233, 233.
    static platform::ui::Color defaultPlaceholderTextColour();

    /// Makes the field's cursor the colour and, when it has a placeholder, shows the placeholder in that
    /// colour and the field's own font.
    static void styleTextField(
        platform::ui::TextField& textField, const platform::ui::Color& placeholderTextColour);
    /// Shows the label's text with a single underline over all of it (a label without text gets empty text).
    static void underlineLabel(platform::ui::Label& lbl);
    /// Shows the label's text from the first occurrence of `searchText` (compared in capitals) to its end in
    /// the font `fontName` at the label's point size; the part before keeps the label's font. The label is
    /// left as it was when it has no text, the text does not occur, or no font has that name.
    static void endOfStringFont(
        const std::string& searchText, platform::ui::Label& label, const std::string& fontName);
};

}
