#pragma once

#include "Zorvik/ViewControllers/NoHistoryNavigationController.h"
#include "Zorvik/Views/ContentView/FormViewObjc.h"
#include "Zorvik/Views/LoadingView/LoadingView.h"
#include "Zorvik/Views/NavigationBar/NavigationBar.h"
#include "Zorvik/Views/OneButtonDialogView/OneButtonDialogView.h"
#include "Zorvik/tests/SignedInFixture.h"
#include "platform/foundation/Json.h"
#include "platform/ui/Button.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace zorvik::test {

/// A signed-in phone with one of the business profile forms open over a home screen, and what a person
/// sees of it: the bar's buttons, the spinner, the error dialog.
class ProfileFormTest : public SignedInFixture {
protected:
    /// Opens a new `Screen` over a home screen and returns it.
    template<class Screen> std::shared_ptr<Screen> open()
    {
        home = std::make_shared<platform::ui::ViewController>();
        auto screen = std::make_shared<Screen>();
        navigation = showScreens({ home, screen });
        form = std::dynamic_pointer_cast<FormViewObjc>(screen->view());
        return screen;
    }

    /// Whether the bar's spinner turns.
    bool saving() const { return !form->navigationBar()->loadingView()->isHidden(); }

    /// Taps "save" and waits until the save has ended (the spinner stops); false if it never does.
    bool save()
    {
        tap("save");
        return waitUntil([this] { return !saving(); });
    }

    /// The bar's buttons as "left|right", "(spinner)" on the right while it turns.
    std::string bar() const
    {
        auto navigationBar = form->navigationBar();
        auto describe = [](const std::shared_ptr<platform::ui::Button>& button) -> std::string {
            if (auto title = button->currentTitle())
                return *title;
            return button->image() ? button->image()->name() : "(empty)";
        };
        return describe(navigationBar->negativeButton()) + "|"
            + (saving() ? "(spinner)" : describe(navigationBar->positiveButton()));
    }

    /// The error dialog on screen as "title / message / button", or "" when none shows.
    std::string dialog() const
    {
        auto shown = form->errorView();
        if (!shown || !shown->superview())
            return "";
        return shown->title().value_or("") + " / " + shown->message().value_or("") + " / "
            + shown->buttonText().value_or("");
    }

    /// The bodies of the PUT requests the back-end received, as compact JSON.
    std::vector<std::string> puts()
    {
        std::vector<std::string> bodies;
        for (const auto& request : backend().requests()) {
            if (request.method == "PUT")
                bodies.push_back(platform::foundation::toJson(request.json()));
        }
        return bodies;
    }

    /// Compact JSON of a record.
    static std::string json(const platform::foundation::Value& value)
    {
        return platform::foundation::toJson(value);
    }

    std::shared_ptr<platform::ui::ViewController> home;
    std::shared_ptr<NoHistoryNavigationController> navigation;
    std::shared_ptr<FormViewObjc> form;
};

}
