#include "platform/ui/ScreenSearch.h"

#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Button.h"
#include "platform/ui/GestureRecognizer.h"
#include "platform/ui/ImagePickerController.h"
#include "platform/ui/Keyboard.h"
#include "platform/ui/Label.h"
#include "platform/ui/ScreenDriver.h"
#include "platform/ui/TableView.h"
#include "platform/ui/TextField.h"
#include "platform/ui/Toolbar.h"
#include "platform/ui/Window.h"

#include <algorithm>
#include <functional>

namespace platform::ui::screen_search {

namespace {

/// Called with a text that shows, the view that shows it and, for a toolbar item's title, the item.
using ShownTextVisitor = std::function<void(
    const std::string& text, const std::shared_ptr<View>& view, const std::shared_ptr<BarButtonItem>& item)>;

/// Whether `view` shows within the tree of `root` (a window, or the keyboard's accessory bar): it and its
/// ancestors are neither hidden nor transparent, and it lies at least partly inside the root.
bool showsIn(const View& view, const View& root)
{
    if (!view.isVisible() || &view.rootView() != &root)
        return false;
    return view.convertRectTo(view.bounds(), nullptr).intersects(root.bounds());
}

/// The texts a view can be found by: its accessibility label and what it shows.
std::vector<std::string> readings(const View& view)
{
    std::vector<std::string> texts;
    if (!view.accessibilityLabel().empty())
        texts.push_back(view.accessibilityLabel());
    if (auto* button = dynamic_cast<const Button*>(&view)) {
        if (auto title = button->currentTitle())
            texts.push_back(*title);
    } else if (auto* label = dynamic_cast<const Label*>(&view)) {
        if (auto text = label->text())
            texts.push_back(*text);
    } else if (auto* field = dynamic_cast<const TextField*>(&view)) {
        texts.push_back(
            field->text().empty() && field->placeholder() ? *field->placeholder() : field->text());
    }
    return texts;
}

std::shared_ptr<TapGestureRecognizer> tapRecognizer(const View& view)
{
    for (auto& recognizer : view.gestureRecognizers()) {
        if (auto tap = std::dynamic_pointer_cast<TapGestureRecognizer>(recognizer); tap && tap->isEnabled())
            return tap;
    }
    return nullptr;
}

/// Calls `visit` with each text that shows in the tree of `view` under `root`: the views' readings, and the
/// titles of the toolbars' items.
void visitShown(const std::shared_ptr<View>& view, const View& root, const ShownTextVisitor& visit)
{
    if (view->isHidden() || view->alpha() <= 0)
        return;
    if (showsIn(*view, root)) {
        for (const auto& text : readings(*view))
            visit(text, view, nullptr);
        if (auto toolbar = std::dynamic_pointer_cast<Toolbar>(view)) {
            for (auto& item : toolbar->items()) {
                if (auto title = item->title())
                    visit(*title, toolbar, item);
            }
        }
    }
    for (auto& subview : view->subviews())
        visitShown(subview, root, visit);
}

void visitShown(Window& window, const ShownTextVisitor& visit)
{
    visitShown(window.shared_from_this(), window, visit);
    if (auto bar = Keyboard::shared().accessoryView())
        visitShown(bar, *bar, visit);
}

/// The text in lower case (ASCII letters), with runs of spaces made one.
std::string folded(const std::string& text)
{
    std::string result;
    for (char c : text) {
        if (c == ' ' && (result.empty() || result.back() == ' '))
            continue;
        result += (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
    }
    while (!result.empty() && result.back() == ' ')
        result.pop_back();
    return result;
}

/// The number of single-byte insertions, deletions and replacements that turn `a` into `b`.
std::size_t editDistance(const std::string& a, const std::string& b)
{
    std::vector<std::size_t> row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j)
        row[j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            std::size_t above = row[j];
            row[j] = std::min({ row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1) });
            diagonal = above;
        }
    }
    return row[b.size()];
}

}

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

Found findShown(Window& window, const std::string& text)
{
    Found found;
    visitShown(window, [&](const std::string& shown, const auto& view, const auto& item) {
        if (shown != text)
            return;
        if (item)
            found.items.emplace_back(std::static_pointer_cast<Toolbar>(view), item);
        else if (found.views.empty() || found.views.back() != view)
            found.views.push_back(view);
    });
    return found;
}

std::vector<std::string> nearlyShown(Window& window, const std::string& text)
{
    auto wanted = folded(text);
    std::size_t allowed = wanted.size() < 4 ? 0 : wanted.size() < 8 ? 1 : 2;
    std::vector<std::pair<std::size_t, std::string>> near;
    visitShown(window, [&](const std::string& shown, const auto&, const auto&) {
        if (shown.empty() || shown == text)
            return;
        auto distance = editDistance(folded(shown), wanted);
        bool listed = std::any_of(near.begin(), near.end(), [&](const auto& n) { return n.second == shown; });
        if (distance <= allowed && !listed)
            near.emplace_back(distance, shown);
    });
    std::stable_sort(
        near.begin(), near.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<std::string> texts;
    for (std::size_t i = 0; i < near.size() && i < 3; ++i)
        texts.push_back(near[i].second);
    return texts;
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

}
