#include "platform/ui/Animation.h"
#include "platform/ui/Application.h"
#include "platform/ui/ContactsStore.h"
#include "platform/ui/ImagePickerController.h"
#include "platform/ui/Keyboard.h"
#include "platform/ui/MenuController.h"
#include "platform/ui/NibRegistry.h"
#include "platform/ui/Screen.h"
#include "platform/ui/Window.h"
#include "platform/foundation/NotificationCenter.h"
#include <gtest/gtest.h>
#include <iostream>
#include <sstream>
using namespace platform::ui;
namespace {
std::string snap()
{
    std::ostringstream o;
    o << "windows=" << Window::windows().size() << " key=" << (Window::keyWindow() != nullptr)
      << " screen=" << Screen::main().bounds().width() << "x" << Screen::main().bounds().height() << "@"
      << Screen::main().scale() << " nibs=" << NibRegistry::nibNames().size()
      << " classes=" << NibRegistry::classNames().size() << " kb=" << Keyboard::shared().isVisible()
      << " kbh=" << Keyboard::shared().height() << " anim=" << Animation::runningCount()
      << " app=" << int(Application::shared().applicationState())
      << " style=" << int(Application::shared().statusBarStyle())
      << " del=" << (Application::shared().delegate() != nullptr) << Application::shared().isLaunched() << " urls=" << Application::shared().openedURLs().size()
      << " notes=" << Application::shared().scheduledLocalNotifications().size()
      << " badge=" << Application::shared().applicationIconBadgeNumber()
      << " cam=" << ImagePickerController::isSourceTypeAvailable(ImagePickerSourceType::Camera)
      << " contacts=" << int(ContactsStore::authorizationStatus()) << "/" << ContactsStore::questionCount()
      << " menu=" << MenuController::shared().isMenuVisible() << MenuController::shared().hideRequestCount();
    return o.str();
}
class Probe : public testing::EmptyTestEventListener {
    std::string before;
    void OnTestStart(const testing::TestInfo&) override { before = snap(); }
    void OnTestEnd(const testing::TestInfo& info) override
    {
        auto after = snap();
        if (after != before)
            std::cerr << "PROBE " << info.test_suite_name() << "." << info.name() << "\n  before " << before
                      << "\n  after  " << after << "\n";
    }
};
const bool registered = [] {
    testing::UnitTest::GetInstance()->listeners().Append(new Probe);
    return true;
}();
}
