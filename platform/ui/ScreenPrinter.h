#pragma once

#include <string>

namespace platform::ui {

class Window;

/// The screen as the driver's `screen` command prints it (see DRIVER.md, "The screen"): the window's size,
/// the controllers shown (root and its stack, each one presented, alerts with their actions), the one on
/// top, the keyboard, the status bar, the window's view tree without hidden views and, while the keyboard is
/// up with a bar on top of it, the bar's view tree. The window is printed as it stands: lay it out first.
std::string printScreen(const Window& window);

}
