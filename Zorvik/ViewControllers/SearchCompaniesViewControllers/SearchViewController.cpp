#include "Zorvik/ViewControllers/SearchCompaniesViewControllers/SearchViewController.h"

#include "Zorvik/Views/SearchView/SearchViewProtocol.h"
#include "platform/foundation/MainQueue.h"

namespace zorvik {

void SearchViewController::viewDidAppear(bool)
{
    std::weak_ptr<SearchViewController> weak
        = std::static_pointer_cast<SearchViewController>(shared_from_this());
    platform::foundation::mainQueue().after(focusDelay, [weak] {
        if (auto self = weak.lock())
            self->becomeFirstResponder();
    });
}

bool SearchViewController::becomeFirstResponder()
{
    auto view = searchView();
    return view && view->focusSearchField();
}

}
