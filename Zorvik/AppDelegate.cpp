#include "Zorvik/AppDelegate.h"

#include "Zorvik/Analytics/WayfinderConfiguration.h"
#include "Zorvik/Controllers/AnalyticsListener.h"
#include "Zorvik/Controllers/AppController.h"
#include "Zorvik/DeviceStorage/DeviceSettingsStore.h"
#include "Zorvik/DeviceStorage/FileStore.h"
#include "Zorvik/Events/AnalyticsEvents.h"
#include "Zorvik/Models/BuildSettings.h"
#include "Zorvik/Repositories/RESTRepositories.h"
#include "Zorvik/UIKitExtensions/FullscreenImage.h"
#include "Zorvik/ViewControllers/NoHistoryNavigationController.h"
#include "Zorvik/ViewControllers/Transitions/NavigationControllerAnimationDelegate.h"
#include "Zorvik/Views/Constraints/MatchParentConstraints.h"
#include "Zorvik/Views/Nibs/Nibs.h"
#include "attribution/WayfinderTracker.h"
#include "kit/core/Cairn.h"
#include "kit/crash/Ember.h"
#include "platform/foundation/Clock.h"
#include "platform/foundation/Files.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/outside/KDRSDKAppEvents.h"
#include "platform/outside/KDRSDKApplicationDelegate.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Screen.h"
#include "platform/ui/Window.h"

#include <iostream>
#include <mutex>

namespace zorvik {

using platform::foundation::Files;
using platform::foundation::NotificationCenter;

namespace {

/// The device settings record, made when it is missing so that the handlers have one to write; nullopt
/// when the store could not be read (logged by the store), so that no second record is made.
std::optional<DeviceSettings> deviceSettings()
{
    auto& store = DeviceSettingsStore::sharedStore();
    auto fetched = store.fetchDeviceSettings();
    if (!fetched.ok())
        return std::nullopt;
    if (fetched.value)
        return fetched.value;
    return store.createDeviceSettings();
}

}

void AppDelegate::registerClass()
{
    static std::once_flag registered;
    std::call_once(registered, [] {
        platform::ui::Application::registerDelegateClass(
            kClassName, [] { return std::make_shared<AppDelegate>(); });
    });
}

bool AppDelegate::didFinishLaunching(
    platform::ui::Application&, const platform::foundation::DictionaryRef& options)
{
    registerNibs();
    m_navigationControllerDelegate = std::make_shared<NavigationControllerAnimationDelegate>();

    RESTRepositories::initialise(BuildSettings::apiBaseUrl());

    auto navigationController = std::make_shared<NoHistoryNavigationController>();
    navigationController->setNavigationBarHidden(true, false);
    navigationController->setDelegate(m_navigationControllerDelegate);

    m_window = std::make_shared<platform::ui::Window>(platform::ui::Screen::main().bounds());
    auto background
        = std::make_shared<platform::ui::ImageView>(FullscreenImage::fullscreen(kBackgroundImageName));
    m_window->addSubview(background);
    MatchParentConstraints::constrainChildToMatchParent(background, m_window);
    platform::ui::ViewController::setRootViewController(*m_window, navigationController);
    m_window->makeKeyAndVisible();

    m_appController = std::make_shared<AppController>(FileStore {}, navigationController);

    platform::outside::KDRSDKApplicationDelegate::sharedInstance().didFinishLaunching(options);
    AnalyticsListener::sharedAnalyticsManager();
    WayfinderConfiguration::setUp();

    if (deviceSettings())
        DeviceSettingsStore::sharedStore().updateStore();

    kit::Cairn::with({ kit::Ember::init() });

    copyPDFTemplateToDocumentsDirectory();
    return true;
}

void AppDelegate::didBecomeActive(platform::ui::Application&)
{
    m_appController->start();
    platform::outside::KDRSDKAppEvents::activateApp();
    attribution::WayfinderTracker::sharedTracker().trackAppLaunch();
    NotificationCenter::defaultCenter().post(AnalyticsEvents::analyticsOpenedApp);
}

void AppDelegate::didEnterBackground(platform::ui::Application&)
{
    m_appController->setIsStarted(false);
    if (auto settings = deviceSettings()) {
        settings->setTimeAppWentToBackground(platform::foundation::now());
        DeviceSettingsStore::sharedStore().updateStore();
    }
    NotificationCenter::defaultCenter().post(AnalyticsEvents::analyticsClosedApp);
}

void AppDelegate::didRegisterUserNotificationSettings(
    platform::ui::Application&, const platform::ui::UserNotificationSettings&)
{
    if (auto settings = deviceSettings()) {
        settings->setHasShownAPNSDialog(true);
        DeviceSettingsStore::sharedStore().updateStore();
    }
}

bool AppDelegate::openURL(platform::ui::Application&, const std::string& url,
    const std::optional<std::string>& sourceApplication, const platform::foundation::Value& annotation)
{
    return platform::outside::KDRSDKApplicationDelegate::sharedInstance().openURL(
        url, sourceApplication, annotation);
}

void AppDelegate::copyPDFTemplateToDocumentsDirectory()
{
    copyResourceFileToDocumentsDirectory("template", "html");
    copyResourceFileToDocumentsDirectory("style", "css");
    copyResourceFileToDocumentsDirectory("moment", "js");
}

void AppDelegate::copyResourceFileToDocumentsDirectory(const std::string& fileName, const std::string& type)
{
    auto failed = [](const std::string& why) {
        std::cout << "Could not create copy item to Path: " << why << std::endl;
    };
    std::string name = fileName + "." + type;
    auto documents = Files::documentsDirectory();
    if (!documents) {
        failed("there is no Documents folder for " + name);
        return;
    }
    auto destination = *documents / name;
    auto source = Files::resourcePath(name, kTemplateFolder);
    if (!source) {
        failed("the app's resources hold no " + std::string(kTemplateFolder) + "/" + name);
        return;
    }
    auto contents = Files::readBytes(*source);
    if (!contents) {
        failed("cannot read " + source->string());
        return;
    }
    if (Files::readBytes(destination) == contents)
        return;
    if (!Files::writeBytes(destination, *contents)) {
        failed("cannot write " + destination.string());
        return;
    }
    std::cout << "File Saved: " << destination.string() << std::endl;
}

}
