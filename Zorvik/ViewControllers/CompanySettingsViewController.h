#pragma once

#include "Zorvik/ViewControllers/ContentViewController.h"
#include "Zorvik/ViewControllers/Transitions/ViewControllerTransitionDelegate.h"

#include <memory>
#include <string>

namespace zorvik {

class CompanySettingsController;

/// The business settings screen: the signed-in business's settings menu under its header and logo.
class CompanySettingsViewController : public ContentViewController, public ViewControllerTransitionDelegate {
public:
    std::string className() const override { return "CompanySettingsViewController"; }

    /// Builds the menu for the signed-in freelancer's business and its actions object, on this screen's
    /// navigation controller and the shared application. Throws std::logic_error without a signed-in
    /// freelancer.
    void loadView() override;
    /// Asks for a status bar update, then shows the business logo or the add-logo area.
    void viewDidLoad() override;
    /// Light content until a logo shows, then default.
    platform::ui::StatusBarStyle preferredStatusBarStyle() const override { return statusBarStyle(); }
    /// After a logo shows: the bar's title turns black and "done" is drawn again in it.
    void logoAdded() override;

    /// The start screen (the log-out replacement of the whole stack) arrives by a fade of 0.4 s; any other
    /// screen slides in from the right.
    std::shared_ptr<platform::ui::TransitionAnimator> pushAnimation(
        const std::shared_ptr<platform::ui::ViewController>& pushed) override;
    /// Screens leave as this one slides in from the left.
    std::shared_ptr<platform::ui::TransitionAnimator> popAnimation(
        const std::shared_ptr<platform::ui::ViewController>& popped) override;

    /// The menu's actions object, null until the view has loaded.
    const std::shared_ptr<CompanySettingsController>& controller() const { return m_controller; }

private:
    std::shared_ptr<CompanySettingsController> m_controller;
};

}
