#include "Zorvik/ViewControllers/PinViewController/PinViewController.h"

#include <utility>

namespace zorvik {

PinViewController::PinViewController(std::string username)
    : m_username(std::move(username))
{
}

}
