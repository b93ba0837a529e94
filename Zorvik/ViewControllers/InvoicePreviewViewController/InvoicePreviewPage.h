#pragma once

#include "platform/foundation/Value.h"

#include <filesystem>
#include <string>
#include <string_view>

namespace zorvik {

/// The HTML of an invoice preview, made from the template "template.html" with its style sheet "style.css"
/// and the date library "moment.js", all read from one folder (the app's Documents, where the launch copies
/// them). The template receives the invoice as the literal of a script value at "{invoice}", the style
/// sheet's text at "{style}" and the library's text at "{moment}".
class InvoicePreviewPage {
public:
    /// What building a page gave: the HTML, and whether it is the invoice (false: the short error page).
    struct Result {
        std::string html;
        bool ok { false };
    };

    /// The page for `invoice` (the whole record, every key it holds) from the files in `folder`; when one
    /// of the three cannot be read, the error page naming it.
    static Result make(const platform::foundation::Value& invoice, const std::filesystem::path& folder);

    /// The record as compact JSON that can stand inside a script element: "<", ">" and "&" and the line
    /// and paragraph separators U+2028 and U+2029 are written as \u escapes, so no text in the record can
    /// end the script or start markup, and the literal stays valid JavaScript.
    static std::string scriptLiteral(const platform::foundation::Value& invoice);

    /// The template with every placeholder replaced in one pass from left to right: text that a
    /// replacement inserts is never searched again, so a "{style}" typed into a description stays as typed.
    static std::string fill(std::string_view templateText, std::string_view invoice, std::string_view style,
        std::string_view moment);

    /// A short page that says the preview cannot be shown, with `reason` (escaped) under it.
    static std::string errorPage(std::string_view reason);
};

}
