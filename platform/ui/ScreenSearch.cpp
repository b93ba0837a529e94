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

namespace platform::ui::screen_search {

namespace {

/// Whether `view` shows within the tree of `root` (a window, or the keyboard's accessory bar): it and its
/// ancestors are neither hidden nor transparent, and it lies at least partly inside the root.
bool showsIn(const View& view, const View& root)
{
    if (!view.isVisible() || &view.rootView() != &root)
        return false;
    return view.convertRectTo(view.bounds(), nullptr).intersects(root.bounds());
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

}
