#pragma once

#include "platform/ui/Color.h"

#include <string_view>

namespace zorvik {

/// The app's named colours, made anew on every call, and the hexadecimal colour parser.
class ColoursObjc {
public:
    /// The brand teal: 0, 188, 203.
    static platform::ui::Color teal();
    /// The yellow of invoices that fall due: "FFB640".
    static platform::ui::Color dueYellow();
    /// The red of late invoices: 206, 50, 65.
    static platform::ui::Color lateRed();
    /// The colour of six hexadecimal digits "RRGGBB", optionally after "0x", with white space around them
    /// ignored and either case accepted; grey for anything else (a "#", too few or too many digits, or
    /// characters that are not hexadecimal digits).
    static platform::ui::Color colorWithHexString(std::string_view text);
};

}
