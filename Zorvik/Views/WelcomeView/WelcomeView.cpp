#include "Zorvik/Views/WelcomeView/WelcomeView.h"

#include "Zorvik/ViewControllers/WelcomeViewController.h"

namespace zorvik {

WelcomeView::WelcomeView()
{
    declareAction("getStarted", [this](platform::ui::View&) { getStarted(); });
}

void WelcomeView::getStarted()
{
    if (auto screen = controller())
        screen->getStarted();
}

}
