#pragma once

#include "platform/ui/Application.h"

#include <memory>
#include <optional>
#include <string>

namespace platform::ui {
class NavigationControllerDelegate;
class Window;
}

namespace zorvik {

class AppController;

/// The app's side of the application's life.
///
/// Launch builds the window over the full-screen background picture with the one navigation stack, wires
/// the API client to the back-end, starts the outside services (the Kindred SDK, analytics, install
/// attribution, the kit platform with crash reporting), makes sure the device settings record exists and
/// brings the invoice template files in Documents up to date. Each activation lets the AppController choose
/// the screen and tells the outside services; going to the background records the time for that choice.
class AppDelegate : public platform::ui::ApplicationDelegate {
public:
    /// The name the delegate class is registered under for applicationMain.
    static constexpr const char* kClassName { "AppDelegate" };
    /// The full-screen background picture (with its "-667" variant).
    static constexpr const char* kBackgroundImageName { "BackgroundOffCentreBubbleBlur" };
    /// The folder of the app's resources that holds the invoice template files.
    static constexpr const char* kTemplateFolder { "ZorvikResources" };

    /// Registers the class under kClassName with the application, once per process.
    static void registerClass();

    /// Launches as the class comment tells. Answers true, whatever the outside services answer.
    bool didFinishLaunching(
        platform::ui::Application& application, const platform::foundation::DictionaryRef& options) override;
    /// Lets the AppController choose the screen, then tells the Kindred SDK, the attribution tracker and
    /// analytics ("analyticsOpenedApp").
    void didBecomeActive(platform::ui::Application& application) override;
    /// Clears the AppController's start, records the time in the device settings and tells analytics
    /// ("analyticsClosedApp").
    void didEnterBackground(platform::ui::Application& application) override;
    /// Records in the device settings that the notification question has been answered, whatever the answer.
    void didRegisterUserNotificationSettings(platform::ui::Application& application,
        const platform::ui::UserNotificationSettings& settings) override;
    /// Hands the URL to the Kindred SDK and answers what it answers.
    bool openURL(platform::ui::Application& application, const std::string& url,
        const std::optional<std::string>& sourceApplication,
        const platform::foundation::Value& annotation) override;

    /// Brings "template.html", "style.css" and "moment.js" in Documents up to date, in that order.
    void copyPDFTemplateToDocumentsDirectory();
    /// Copies the resource `fileName`.`type` of the template folder into Documents unless Documents holds an
    /// identical copy, so that an updated app brings its new template. Writes "File Saved: <path>" after a
    /// copy, or "Could not create copy item to Path: <why>" when it fails, to standard output.
    void copyResourceFileToDocumentsDirectory(const std::string& fileName, const std::string& type);

    /// The application's window, or null before launch.
    const std::shared_ptr<platform::ui::Window>& window() const { return m_window; }
    /// The navigation stack's animation delegate, which the delegate keeps alive; null before launch.
    const std::shared_ptr<platform::ui::NavigationControllerDelegate>& navigationControllerDelegate() const
    {
        return m_navigationControllerDelegate;
    }
    /// The controller that chooses the screen on activation; null before launch.
    const std::shared_ptr<AppController>& appController() const { return m_appController; }

private:
    std::shared_ptr<platform::ui::Window> m_window;
    std::shared_ptr<platform::ui::NavigationControllerDelegate> m_navigationControllerDelegate;
    std::shared_ptr<AppController> m_appController;
};

}
