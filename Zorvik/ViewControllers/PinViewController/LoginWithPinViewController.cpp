#include "Zorvik/ViewControllers/PinViewController/LoginWithPinViewController.h"

#include <utility>

namespace zorvik {

LoginWithPinViewController::LoginWithPinViewController(std::string username, bool showBackButton)
    : PinViewController(std::move(username))
    , m_showBackButton(showBackButton)
{
}

}
