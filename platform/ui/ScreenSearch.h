#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace platform::ui {

class BarButtonItem;
class ImagePickerController;
class Toolbar;
class View;
class ViewController;
class Window;

/// How the screen driver finds things on screen by what they show (see DRIVER.md, "Finding things").
namespace screen_search {

/// Something a finger can tap, found by its text.
struct Target {
    const void* identity { nullptr };
    std::string description;
    /// The view the finger lands on (at its centre).
    std::shared_ptr<View> touched;
    std::function<bool()> reachable;
    std::function<bool()> act;
};

/// The views that show and read a text, and the toolbar items titled with it, back to front.
struct Found {
    std::vector<std::shared_ptr<View>> views;
    std::vector<std::pair<std::shared_ptr<Toolbar>, std::shared_ptr<BarButtonItem>>> items;
};

/// Whether the keyboard, while it is up, covers the centre of `view`, a view in a window.
bool underKeyboard(const View& view);
/// Whether a touch at the centre of `view` lands in it (nothing in front takes it).
bool hitLandsIn(const View& view);
/// What tapping `view` acts on: the nearest control, tap-recognising view or table row at or above it.
std::optional<Target> targetFor(const std::shared_ptr<View>& view);
/// What shows `text` in the window and, while the keyboard is up, in the accessory bar on top of it.
Found findShown(Window& window, const std::string& text);
/// Up to three texts that show where findShown() looks and differ from `text` only a little (in letter case,
/// spacing or a letter or two), nearest first: what a person who mistyped `text` may have meant.
std::vector<std::string> nearlyShown(Window& window, const std::string& text);

/// The controller the user sees on top of the window: the last one presented, else the root.
std::shared_ptr<ViewController> topPresented(const Window& window);
/// The image picker on top of the window. Throws ScreenDriverError when there is none.
std::shared_ptr<ImagePickerController> pickerOnTop(const Window& window);

/// The descriptions as an indented list, one a line, each line started by a line break.
std::string listed(const std::vector<std::string>& descriptions);

}

}
