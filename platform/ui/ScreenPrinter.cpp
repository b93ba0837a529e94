#include "platform/ui/ScreenPrinter.h"

#include "platform/ui/AlertController.h"
#include "platform/ui/Application.h"
#include "platform/ui/Keyboard.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Window.h"

namespace platform::ui {

namespace {

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

}

std::string printScreen(const Window& shown)
{
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

}
