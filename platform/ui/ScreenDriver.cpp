#include "platform/ui/ScreenDriver.h"

#include "platform/foundation/Files.h"
#include "platform/foundation/MainQueue.h"
#include "platform/foundation/Text.h"
#include "platform/ui/AlertController.h"
#include "platform/ui/Application.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Button.h"
#include "platform/ui/ContactsStore.h"
#include "platform/ui/GestureRecognizer.h"
#include "platform/ui/Image.h"
#include "platform/ui/ImagePickerController.h"
#include "platform/ui/Keyboard.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/TableView.h"
#include "platform/ui/TextField.h"
#include "platform/ui/Toolbar.h"
#include "platform/ui/Window.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <functional>
#include <istream>
#include <ostream>
#include <vector>

namespace platform::ui {

namespace {

/// Something a finger can tap, found by its text.
struct Target {
    const void* identity { nullptr };
    std::string description;
    /// The view the finger lands on (at its centre).
    std::shared_ptr<View> touched;
    std::function<bool()> reachable;
    std::function<bool()> act;
};

/// Whether `view` shows within the tree of `root` (a window, or the keyboard's accessory bar): it and its
/// ancestors are neither hidden nor transparent, and it lies at least partly inside the root.
bool showsIn(const View& view, const View& root)
{
    if (!view.isVisible() || &view.rootView() != &root)
        return false;
    return view.convertRectTo(view.bounds(), nullptr).intersects(root.bounds());
}

/// Whether the keyboard, while it is up, covers the centre of `view`, a view in a window.
bool underKeyboard(const View& view)
{
    auto& keyboard = Keyboard::shared();
    Window* window = view.window();
    if (!keyboard.isVisible() || !window)
        return false;
    Point centre = view.convertPointTo(view.bounds().center(), nullptr);
    Point onScreen { centre.x + window->frame().x(), centre.y + window->frame().y() };
    return keyboard.frame().contains(onScreen);
}

bool hitLandsIn(const View& view)
{
    auto& root = const_cast<View&>(view.rootView());
    auto hit = root.hitTest(view.convertPointTo(view.bounds().center(), nullptr));
    return hit && hit->isDescendantOf(view);
}

bool readsAs(const View& view, const std::string& text)
{
    if (!view.accessibilityLabel().empty() && view.accessibilityLabel() == text)
        return true;
    if (auto* button = dynamic_cast<const Button*>(&view))
        return button->currentTitle() == text;
    if (auto* label = dynamic_cast<const Label*>(&view))
        return label->text() == text;
    if (auto* field = dynamic_cast<const TextField*>(&view))
        return field->text() == text || (field->text().empty() && field->placeholder() == text);
    return false;
}

std::shared_ptr<TapGestureRecognizer> tapRecognizer(const View& view)
{
    for (auto& recognizer : view.gestureRecognizers()) {
        if (auto tap = std::dynamic_pointer_cast<TapGestureRecognizer>(recognizer); tap && tap->isEnabled())
            return tap;
    }
    return nullptr;
}

/// What tapping `view` acts on: the nearest control, tap-recognising view or table row at or above it.
std::optional<Target> targetFor(const std::shared_ptr<View>& view)
{
    for (auto current = view; current; current = current->superview()) {
        if (auto control = std::dynamic_pointer_cast<Control>(current)) {
            return Target { control.get(), control->describe(), control,
                [control] { return control->canBeTapped(); }, [control] { return control->tap(); } };
        }
        if (auto recognizer = tapRecognizer(*current)) {
            return Target { recognizer.get(), current->describe(), current,
                [current] { return hitLandsIn(*current); }, [recognizer] { return recognizer->tap(); } };
        }
        if (auto cell = std::dynamic_pointer_cast<TableViewCell>(current)) {
            auto table = std::dynamic_pointer_cast<TableView>(cell->superview());
            auto row = table ? table->indexPathForCell(*cell) : std::nullopt;
            if (row) {
                IndexPath indexPath = *row;
                return Target { cell.get(), "row " + toString(indexPath) + " " + cell->describe(), cell,
                    [cell] { return hitLandsIn(*cell); },
                    [table, indexPath] { return table->tapRow(indexPath); } };
            }
        }
    }
    return std::nullopt;
}

/// The views that show and read `text`, and the toolbar items titled `text`, back to front.
struct Found {
    std::vector<std::shared_ptr<View>> views;
    std::vector<std::pair<std::shared_ptr<Toolbar>, std::shared_ptr<BarButtonItem>>> items;
};

void find(const std::shared_ptr<View>& view, const View& root, const std::string& text, Found& found)
{
    if (view->isHidden() || view->alpha() <= 0)
        return;
    if (showsIn(*view, root)) {
        if (readsAs(*view, text))
            found.views.push_back(view);
        if (auto toolbar = std::dynamic_pointer_cast<Toolbar>(view)) {
            for (auto& item : toolbar->items()) {
                if (item->title() == text)
                    found.items.emplace_back(toolbar, item);
            }
        }
    }
    for (auto& subview : view->subviews())
        find(subview, root, text, found);
}

/// What shows `text` in the window and, while the keyboard is up, in the accessory bar on top of it.
Found findShown(Window& window, const std::string& text)
{
    Found found;
    find(window.shared_from_this(), window, text, found);
    if (auto bar = Keyboard::shared().accessoryView())
        find(bar, *bar, text, found);
    return found;
}

std::string listed(const std::vector<std::string>& descriptions)
{
    std::string text;
    for (auto& description : descriptions)
        text += "\n  " + description;
    return text;
}

std::shared_ptr<ViewController> topPresented(const Window& window)
{
    auto controller = ViewController::rootViewController(window);
    while (controller) {
        auto presented = controller->presentedViewController();
        if (!presented)
            break;
        controller = presented;
    }
    return controller;
}

std::shared_ptr<ImagePickerController> pickerOnTop(const Window& window)
{
    auto picker = std::dynamic_pointer_cast<ImagePickerController>(topPresented(window));
    if (!picker)
        throw ScreenDriverError("no image picker is on screen");
    return picker;
}

std::string nameWithTitle(const ViewController& controller)
{
    std::string name = controller.className();
    if (!controller.title().empty())
        name += " \"" + controller.title() + "\"";
    return name;
}

std::string styleName(ModalPresentationStyle style)
{
    switch (style) {
    case ModalPresentationStyle::OverFullScreen:
        return "over full screen";
    case ModalPresentationStyle::OverCurrentContext:
        return "over current context";
    case ModalPresentationStyle::FullScreen:
        break;
    }
    return "full screen";
}

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
           "  swipe <row text> <offset>   drag a row's swipeable part to rest at <offset>\n"
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

ScreenDriver::ScreenDriver(std::shared_ptr<Window> window)
    : m_window(std::move(window))
{
}

Window& ScreenDriver::shownWindow() const
{
    auto shown = m_window ? m_window : Window::keyWindow();
    if (!shown)
        throw ScreenDriverError("there is no key window");
    shown->layoutIfNeeded();
    return *shown;
}

void ScreenDriver::settle() const
{
    foundation::mainQueue().runUntilIdle();
}

void ScreenDriver::tap(const std::string& text)
{
    Found found = findShown(shownWindow(), text);
    std::vector<Target> targets;
    std::vector<std::string> untappable;
    auto add = [&](Target target) {
        bool seen = std::any_of(
            targets.begin(), targets.end(), [&](auto& t) { return t.identity == target.identity; });
        if (!seen)
            targets.push_back(std::move(target));
    };
    for (auto& view : found.views) {
        if (auto target = targetFor(view))
            add(std::move(*target));
        else
            untappable.push_back(view->describe());
    }
    for (auto& [toolbar, item] : found.items) {
        add(Target { item.get(), "toolbar item " + item->describe(), toolbar,
            [toolbar, item] { return item->isEnabled() && hitLandsIn(*toolbar); },
            [toolbar, item] { return toolbar->tapItem(*item); } });
    }
    if (targets.empty()) {
        if (!untappable.empty())
            throw ScreenDriverError(
                "\"" + text + "\" shows, but nothing there takes a tap:" + listed(untappable));
        throw ScreenDriverError("nothing on screen reads \"" + text + "\"");
    }
    std::vector<Target*> reachable;
    for (auto& target : targets) {
        if (target.reachable() && !underKeyboard(*target.touched))
            reachable.push_back(&target);
    }
    std::vector<std::string> descriptions;
    for (auto& target : targets)
        descriptions.push_back(target.description);
    if (reachable.empty())
        throw ScreenDriverError(
            "\"" + text + "\" cannot be tapped (disabled or covered):" + listed(descriptions));
    if (reachable.size() > 1)
        throw ScreenDriverError("\"" + text + "\" matches " + std::to_string(reachable.size())
            + " things on screen:" + listed(descriptions));
    if (!reachable.front()->act())
        throw ScreenDriverError(
            "\"" + text + "\" did not take the tap:" + listed({ reachable.front()->description }));
    settle();
}

std::size_t ScreenDriver::type(const std::string& text)
{
    auto& keyboard = Keyboard::shared();
    if (!keyboard.isVisible())
        throw ScreenDriverError("no text field is being edited (tap one first)");
    auto typed = keyboard.type(text);
    settle();
    return typed;
}

bool ScreenDriver::paste(const std::string& text)
{
    auto& keyboard = Keyboard::shared();
    if (!keyboard.isVisible())
        throw ScreenDriverError("no text field is being edited (tap one first)");
    bool taken = keyboard.paste(text);
    settle();
    return taken;
}

std::size_t ScreenDriver::deleteBackward(std::size_t times)
{
    auto& keyboard = Keyboard::shared();
    if (!keyboard.isVisible())
        throw ScreenDriverError("no text field is being edited (tap one first)");
    auto deleted = keyboard.deleteBackward(times);
    settle();
    return deleted;
}

void ScreenDriver::pressReturn()
{
    if (!Keyboard::shared().pressReturn())
        throw ScreenDriverError("the keyboard is down, so there is no Return key");
    settle();
}

double ScreenDriver::swipe(const std::string& rowText, double offset)
{
    Found found = findShown(shownWindow(), rowText);
    std::vector<std::shared_ptr<TableViewCell>> cells;
    for (auto& view : found.views) {
        for (auto current = view; current; current = current->superview()) {
            auto cell = std::dynamic_pointer_cast<TableViewCell>(current);
            if (!cell)
                continue;
            if (std::find(cells.begin(), cells.end(), cell) == cells.end())
                cells.push_back(cell);
            break;
        }
    }
    if (cells.empty())
        throw ScreenDriverError("no row on screen reads \"" + rowText + "\"");
    if (cells.size() > 1)
        throw ScreenDriverError("\"" + rowText + "\" matches " + std::to_string(cells.size()) + " rows");
    std::function<std::shared_ptr<ScrollView>(const std::shared_ptr<View>&)> findScroll
        = [&](const std::shared_ptr<View>& view) -> std::shared_ptr<ScrollView> {
        for (auto& subview : view->subviews()) {
            if (auto scroll = std::dynamic_pointer_cast<ScrollView>(subview))
                return scroll;
            if (auto inner = findScroll(subview))
                return inner;
        }
        return nullptr;
    };
    auto scroll = findScroll(cells.front());
    if (!scroll)
        throw ScreenDriverError("the row \"" + rowText + "\" cannot be swiped");
    double translation = scroll->contentOffset().x - offset;
    if (underKeyboard(*scroll) || !scroll->drag({ translation, 0 }))
        throw ScreenDriverError("the row \"" + rowText + "\" cannot be dragged (disabled or covered)");
    settle();
    return scroll->contentOffset().x;
}

void ScreenDriver::pickAlertAction(const std::string& title)
{
    auto alert = std::dynamic_pointer_cast<AlertController>(topPresented(shownWindow()));
    if (!alert)
        throw ScreenDriverError("no alert is on screen");
    if (!alert->pickAction(title)) {
        std::vector<std::string> offered;
        for (auto& action : alert->displayedActions())
            offered.push_back("\"" + action->title() + "\"" + (action->isEnabled() ? "" : " (disabled)"));
        throw ScreenDriverError(
            "the alert has no action \"" + title + "\" to press; it offers:" + listed(offered));
    }
    settle();
}

void ScreenDriver::pickImage(const std::shared_ptr<const Image>& image)
{
    pickerOnTop(shownWindow())->pickImage(image ? image : ImagePickerController::sampleImage());
    settle();
}

void ScreenDriver::cancelImagePicker()
{
    pickerOnTop(shownWindow())->cancel();
    settle();
}

void ScreenDriver::background(double seconds)
{
    auto& application = Application::shared();
    application.enterBackground();
    settle();
    wait(seconds);
    application.enterForeground();
    settle();
}

void ScreenDriver::wait(double seconds)
{
    if (seconds < 0)
        throw ScreenDriverError("cannot wait a negative time");
    auto& queue = foundation::mainQueue();
    if (queue.clock().isVirtual()) {
        queue.advance(seconds);
    } else {
        auto until = std::chrono::milliseconds(std::llround(seconds * 1000));
        queue.runUntil([] { return false; }, until);
    }
    settle();
}

std::string ScreenDriver::screen()
{
    auto& shown = shownWindow();
    std::string text = "screen " + formatNumber(shown.bounds().width()) + "x"
        + formatNumber(shown.bounds().height()) + "\n";
    std::shared_ptr<ViewController> top;
    bool first = true;
    for (auto controller = ViewController::rootViewController(shown); controller;
         controller = controller->presentedViewController()) {
        text += first ? "root: " : "presented (" + styleName(controller->modalPresentationStyle()) + "): ";
        first = false;
        top = controller;
        if (auto alert = std::dynamic_pointer_cast<AlertController>(controller)) {
            text += alert->summary() + "\n";
            continue;
        }
        text += nameWithTitle(*controller);
        if (auto navigation = std::dynamic_pointer_cast<NavigationController>(controller)) {
            text += " stack [";
            bool firstEntry = true;
            for (auto& entry : navigation->viewControllers()) {
                text += (firstEntry ? "" : " > ") + nameWithTitle(*entry);
                firstEntry = false;
            }
            text += "]";
            if (navigation->isInTransition())
                text += " [in transition]";
            if (auto stackTop = navigation->topViewController())
                top = stackTop;
        }
        text += "\n";
    }
    text += "top: " + (top ? nameWithTitle(*top) : std::string("none")) + "\n";
    if (auto responder = Keyboard::shared().responder())
        text += "keyboard: up, typing into " + responder->describe() + "\n";
    else
        text += "keyboard: down\n";
    text += std::string("status bar: ")
        + (Application::shared().statusBarStyle() == StatusBarStyle::LightContent ? "light content"
                                                                                  : "default")
        + "\n";
    text += "views:\n" + shown.textDump(false);
    if (auto bar = Keyboard::shared().accessoryView())
        text += "keyboard bar:\n" + bar->textDump(false);
    return text;
}

ScreenDriver::Command ScreenDriver::parseCommand(const std::string& line)
{
    std::string command = trimmed(line);
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
        double rest = swipe(trimmed(argument.substr(0, last)), offset);
        return "the row rests at offset " + formatNumber(rest) + "\n";
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
