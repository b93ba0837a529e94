#include "platform/ui/MenuController.h"

namespace platform::ui {

MenuController& MenuController::shared()
{
    static MenuController menu;
    return menu;
}

void MenuController::setMenuVisible(bool visible, bool)
{
    if (!visible)
        ++m_hideRequests;
    m_visible = visible;
}

void MenuController::reset()
{
    m_visible = false;
    m_hideRequests = 0;
    m_targetRect = Rect::zero();
    m_items = { "Cut", "Copy", "Paste" };
}

}
