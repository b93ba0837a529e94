#include "platform/ui/ScreenDriver.h"

#include "platform/foundation/Clock.h"
#include "platform/foundation/MainQueue.h"
#include "platform/ui/AlertController.h"
#include "platform/ui/Application.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Image.h"
#include "platform/ui/ImagePickerController.h"
#include "platform/ui/Keyboard.h"
#include "platform/ui/ScreenPrinter.h"
#include "platform/ui/ScreenSearch.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/TableView.h"
#include "platform/ui/Toolbar.h"
#include "platform/ui/Window.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <functional>
#include <vector>

namespace platform::ui {

using namespace screen_search;

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

std::string ScreenDriver::meant(const std::string& text) const
{
    auto near = nearlyShown(shownWindow(), text);
    std::string choices;
    for (std::size_t i = 0; i < near.size(); ++i)
        choices += (i == 0 ? "" : i + 1 == near.size() ? " or " : ", ") + ("\"" + near[i] + "\"");
    return near.empty() ? "" : " (did you mean " + choices + "?)";
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
        throw ScreenDriverError("nothing on screen reads \"" + text + "\"" + meant(text));
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

double ScreenDriver::swipe(const std::string& text, double offset)
{
    auto [scroll, isRow] = swipeable(text);
    std::string described = (isRow ? "the row \"" : "the paged view showing \"") + text + "\"";
    double translation = scroll->contentOffset().x - offset;
    if (underKeyboard(*scroll) || !scroll->drag({ translation, 0 }))
        throw ScreenDriverError(described + " cannot be dragged (disabled or covered)");
    settle();
    return scroll->contentOffset().x;
}

std::pair<std::shared_ptr<ScrollView>, bool> ScreenDriver::swipeable(const std::string& text) const
{
    Found found = findShown(shownWindow(), text);
    std::vector<std::shared_ptr<TableViewCell>> cells;
    std::vector<std::shared_ptr<ScrollView>> pagers;
    auto addOnce = [](auto& list, const auto& item) {
        if (std::find(list.begin(), list.end(), item) == list.end())
            list.push_back(item);
    };
    for (auto& view : found.views) {
        std::shared_ptr<ScrollView> pager;
        std::shared_ptr<TableViewCell> cell;
        for (auto current = view; current && !cell; current = current->superview()) {
            cell = std::dynamic_pointer_cast<TableViewCell>(current);
            auto scroll = std::dynamic_pointer_cast<ScrollView>(current);
            if (!pager && scroll && scroll->isPagingEnabled())
                pager = scroll;
        }
        if (cell)
            addOnce(cells, cell);
        else if (pager)
            addOnce(pagers, pager);
    }
    if (cells.size() + pagers.size() > 1)
        throw ScreenDriverError("\"" + text + "\" matches " + std::to_string(cells.size() + pagers.size())
            + " rows or paged views");
    if (!pagers.empty())
        return { pagers.front(), false };
    if (cells.empty())
        throw ScreenDriverError("no row or paged view on screen reads \"" + text + "\"" + meant(text));
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
        throw ScreenDriverError("the row \"" + text + "\" cannot be swiped");
    return { scroll, true };
}

void ScreenDriver::pickAlertAction(const std::string& title)
{
    auto alert = std::dynamic_pointer_cast<AlertController>(topPresented(shownWindow()));
    if (!alert)
        throw ScreenDriverError("no alert is on screen");
    requireSettled(*alert, "the alert");
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
    auto picker = pickerOnTop(shownWindow());
    requireSettled(*picker, "the image picker");
    picker->pickImage(image ? image : ImagePickerController::sampleImage());
    settle();
}

void ScreenDriver::cancelImagePicker()
{
    auto picker = pickerOnTop(shownWindow());
    requireSettled(*picker, "the image picker");
    picker->cancel();
    settle();
}

void ScreenDriver::requireSettled(const ViewController& presented, const std::string& what)
{
    // As on the phone, a screen takes no touch while it slides on or off: one taken then would dismiss
    // nothing, and the screen would stay.
    if (presented.isBeingPresented())
        throw ScreenDriverError(what + " is still coming on screen (wait for it first)");
    if (presented.isBeingDismissed())
        throw ScreenDriverError(what + " is going off screen");
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
        auto until = std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::nanoseconds(foundation::Clock::nanoseconds(seconds)));
        queue.runUntil([] { return false; }, until);
    }
    settle();
}

std::string ScreenDriver::screen()
{
    return printScreen(shownWindow());
}

}
