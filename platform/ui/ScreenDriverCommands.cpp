#include "platform/ui/ScreenDriver.h"

#include "platform/foundation/Files.h"
#include "platform/foundation/Text.h"
#include "platform/ui/ContactsStore.h"
#include "platform/ui/Geometry.h"
#include "platform/ui/Image.h"
#include "platform/ui/ImagePickerController.h"

#include <cmath>
#include <istream>
#include <ostream>
#include <string_view>

namespace platform::ui {

namespace {

std::string trimmed(const std::string& text)
{
    auto first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos)
        return "";
    auto last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

const char* helpText()
{
    return "commands:\n"
           "  tap <text>                  tap the button, row, field or item that shows <text>\n"
           "  type <text>                 type into the field being edited\n"
           "  paste <text>                paste <text> into the field being edited, as one change\n"
           "  delete [n]                  press the delete key n times (once without n)\n"
           "  return                      press the keyboard's Return key\n"
           "  swipe <text> <offset>       drag a row's swipeable part, or a paged view, to rest at <offset>\n"
           "  alert <title>               press the alert's button <title>\n"
           "  picker pick [file.png]      pick a picture (a sample one without a file)\n"
           "  picker cancel               cancel the image picker\n"
           "  wait <seconds>              let time pass\n"
           "  background <seconds>        leave the app, wait, come back\n"
           "  screen                      print the screen\n"
           "  camera on|off               give the device a camera or take it away\n"
           "  contacts <file.json>        fill the device's address book from a file\n"
           "  contacts-access <status>    not-determined, restricted, denied or authorized\n"
           "  help                        print this list\n";
}

}

ScreenDriver::Command ScreenDriver::parseCommand(const std::string& line)
{
    // Editors that save UTF-8 with a byte order mark put it before a script's first command.
    constexpr std::string_view byteOrderMark = "\xEF\xBB\xBF";
    std::string command = trimmed(line.starts_with(byteOrderMark) ? line.substr(byteOrderMark.size()) : line);
    if (command.empty() || command[0] == '#')
        return { command, "", "" };
    auto space = command.find(' ');
    return { command, command.substr(0, space),
        space == std::string::npos ? "" : trimmed(command.substr(space + 1)) };
}

double ScreenDriver::parseNumber(const std::string& text, const std::string& what)
{
    std::size_t used = 0;
    double value = 0;
    try {
        value = std::stod(text, &used);
    } catch (const std::exception&) {
        used = 0;
    }
    if (text.empty() || used != text.size() || !std::isfinite(value))
        throw ScreenDriverError(what + " needs a number, not \"" + text + "\"");
    return value;
}

std::string ScreenDriver::execute(const std::string& line)
{
    auto [commandLine, verb, argument] = parseCommand(line);
    if (verb.empty())
        return "";
    auto requireArgument = [&](const std::string& what) {
        if (argument.empty())
            throw ScreenDriverError(verb + " needs " + what);
    };

    if (verb == "tap") {
        requireArgument("the text of what to tap");
        tap(argument);
        return "";
    }
    // Typed and pasted text keeps its inner spaces as written, after the one space that ends the verb.
    std::string text = commandLine.size() > verb.size() ? commandLine.substr(verb.size() + 1) : "";
    if (verb == "type") {
        requireArgument("the text to type");
        std::size_t characters = 0;
        for (std::size_t i = 0; i < text.size(); i += foundation::utf8CharacterLength(text, i))
            ++characters;
        auto typed = type(text);
        if (typed < characters)
            return "the field took " + std::to_string(typed) + " of " + std::to_string(characters)
                + " characters\n";
        return "";
    }
    if (verb == "paste") {
        requireArgument("the text to paste");
        return paste(text) ? "" : "the field refused the pasted text\n";
    }
    if (verb == "delete") {
        std::size_t times = 1;
        if (!argument.empty()) {
            double count = parseNumber(argument, "delete");
            if (count < 1 || count != std::floor(count) || count > 1e6)
                throw ScreenDriverError("delete needs a whole number of presses, not \"" + argument + "\"");
            times = static_cast<std::size_t>(count);
        }
        auto deleted = deleteBackward(times);
        if (deleted < times)
            return "the field deleted " + std::to_string(deleted) + " of " + std::to_string(times)
                + " characters\n";
        return "";
    }
    if (verb == "return") {
        pressReturn();
        return "";
    }
    if (verb == "swipe") {
        auto last = argument.rfind(' ');
        if (last == std::string::npos)
            throw ScreenDriverError("swipe needs a row's text and an offset, as in \"swipe Acme Ltd 0\"");
        double offset = parseNumber(argument.substr(last + 1), "swipe");
        auto text = trimmed(argument.substr(0, last));
        bool isRow = swipeable(text).second;
        double rest = swipe(text, offset);
        return std::string(isRow ? "the row" : "the page") + " rests at offset " + formatNumber(rest) + "\n";
    }
    if (verb == "alert") {
        requireArgument("the title of the alert's button");
        pickAlertAction(argument);
        return "";
    }
    if (verb == "picker") {
        if (argument == "cancel") {
            cancelImagePicker();
            return "";
        }
        if (argument == "pick") {
            pickImage();
            return "";
        }
        if (argument.rfind("pick ", 0) == 0) {
            std::string file = trimmed(argument.substr(5));
            auto bytes = foundation::Files::readBytes(file);
            auto image = bytes ? Image::fromPNGData(*bytes) : nullptr;
            if (!image)
                throw ScreenDriverError("cannot read a PNG picture from " + file);
            pickImage(image);
            return "";
        }
        throw ScreenDriverError("picker needs \"pick\", \"pick <file.png>\" or \"cancel\"");
    }
    if (verb == "wait") {
        requireArgument("a number of seconds");
        wait(parseNumber(argument, "wait"));
        return "";
    }
    if (verb == "background") {
        requireArgument("a number of seconds");
        background(parseNumber(argument, "background"));
        return "";
    }
    if (verb == "screen")
        return screen();
    if (verb == "camera") {
        if (argument != "on" && argument != "off")
            throw ScreenDriverError("camera needs \"on\" or \"off\"");
        ImagePickerController::setCameraAvailable(argument == "on");
        return "";
    }
    if (verb == "contacts") {
        requireArgument("a JSON file of contacts");
        if (!ContactsStore::loadDeviceContacts(argument))
            throw ScreenDriverError("cannot read contacts from " + argument);
        return "";
    }
    if (verb == "contacts-access") {
        static const std::pair<const char*, ContactsAuthorizationStatus> statuses[] = {
            { "not-determined", ContactsAuthorizationStatus::NotDetermined },
            { "restricted", ContactsAuthorizationStatus::Restricted },
            { "denied", ContactsAuthorizationStatus::Denied },
            { "authorized", ContactsAuthorizationStatus::Authorized },
        };
        for (auto& [name, status] : statuses) {
            if (argument == name) {
                ContactsStore::setAuthorizationStatus(status);
                return "";
            }
        }
        throw ScreenDriverError("contacts-access needs not-determined, restricted, denied or authorized");
    }
    if (verb == "help")
        return helpText();
    throw ScreenDriverError("unknown command \"" + verb + "\" (\"help\" lists the commands)");
}

std::size_t ScreenDriver::runScript(std::istream& input, std::ostream& output)
{
    std::size_t failures = 0;
    std::string line;
    while (std::getline(input, line)) {
        try {
            output << execute(line);
        } catch (const std::exception& error) {
            ++failures;
            output << "error: " << error.what() << "\n";
        }
        output.flush();
    }
    return failures;
}

}
