#include "Zorvik/ViewControllers/InvoicePreviewViewController/InvoicePreviewPage.h"

#include "platform/foundation/Files.h"
#include "platform/foundation/Json.h"

#include <array>
#include <optional>
#include <utility>

namespace zorvik {

InvoicePreviewPage::Result InvoicePreviewPage::make(
    const platform::foundation::Value& invoice, const std::filesystem::path& folder)
{
    std::array<std::optional<std::string>, 3> texts;
    constexpr std::array<const char*, 3> names { "template.html", "style.css", "moment.js" };
    for (std::size_t i = 0; i < names.size(); ++i) {
        texts[i] = platform::foundation::Files::readText(folder / names[i]);
        if (!texts[i])
            return { errorPage(std::string("The file ") + names[i] + " could not be read."), false };
    }
    return { fill(*texts[0], scriptLiteral(invoice), *texts[1], *texts[2]), true };
}

std::string InvoicePreviewPage::scriptLiteral(const platform::foundation::Value& invoice)
{
    std::string json = platform::foundation::toJson(invoice);
    std::string escaped;
    escaped.reserve(json.size());
    for (std::size_t i = 0; i < json.size(); ++i) {
        char c = json[i];
        if (c == '<')
            escaped += "\\u003c";
        else if (c == '>')
            escaped += "\\u003e";
        else if (c == '&')
            escaped += "\\u0026";
        else if (c == '\xE2' && i + 2 < json.size() && json[i + 1] == '\x80'
            && (json[i + 2] == '\xA8' || json[i + 2] == '\xA9')) {
            escaped += json[i + 2] == '\xA8' ? "\\u2028" : "\\u2029";
            i += 2;
        } else {
            escaped += c;
        }
    }
    return escaped;
}

std::string InvoicePreviewPage::fill(
    std::string_view templateText, std::string_view invoice, std::string_view style, std::string_view moment)
{
    const std::array<std::pair<std::string_view, std::string_view>, 3> placeholders {
        { { "{invoice}", invoice }, { "{style}", style }, { "{moment}", moment } }
    };
    std::string page;
    page.reserve(templateText.size() + invoice.size() + style.size() + moment.size());
    std::size_t at = 0;
    while (at < templateText.size()) {
        auto brace = templateText.find('{', at);
        if (brace == std::string_view::npos)
            break;
        page.append(templateText.substr(at, brace - at));
        at = brace + 1;
        bool replaced = false;
        for (const auto& [name, text] : placeholders) {
            if (templateText.substr(brace, name.size()) == name) {
                page.append(text);
                at = brace + name.size();
                replaced = true;
                break;
            }
        }
        if (!replaced)
            page += '{';
    }
    if (at < templateText.size())
        page.append(templateText.substr(at));
    return page;
}

std::string InvoicePreviewPage::errorPage(std::string_view reason)
{
    std::string escaped;
    for (char c : reason) {
        switch (c) {
        case '<':
            escaped += "&lt;";
            break;
        case '>':
            escaped += "&gt;";
            break;
        case '&':
            escaped += "&amp;";
            break;
        case '"':
            escaped += "&quot;";
            break;
        default:
            escaped += c;
        }
    }
    return "<!DOCTYPE html>\n<html lang=\"en-GB\"><head><meta charset=\"utf-8\"><title>Invoice "
           "preview</title>"
           "</head>\n<body style=\"font-family: sans-serif; text-align: center; padding-top: 40%\">"
           "<h1>Sorry, the invoice preview cannot be shown.</h1><p>"
        + escaped + "</p></body></html>\n";
}

}
