#include "platform/ui/View.h"

#include "platform/ui/Keyboard.h"

namespace platform::ui {

bool View::canHoldFirstResponder() const
{
    if (!window())
        return false;
    for (const View* view = this; view; view = view->superview().get()) {
        if (view->isHidden())
            return false;
    }
    return true;
}

bool View::becomeFirstResponder()
{
    if (isFirstResponder())
        return true;
    if (!canBecomeFirstResponder() || !canHoldFirstResponder())
        return false;
    auto self = shared_from_this();
    View& root = rootView();
    auto keepRoot = root.shared_from_this();
    if (auto current = root.m_firstResponder.lock()) {
        root.m_handingOverFirstResponder = true;
        bool resigned = current->resignFirstResponder();
        root.m_handingOverFirstResponder = false;
        if (!resigned)
            return false;
    }
    root.m_firstResponder = self;
    didBecomeFirstResponder();
    if (!isFirstResponder())
        return false;
    Keyboard& keyboard = Keyboard::shared();
    if (showsKeyboard())
        keyboard.show(*this);
    else if (keyboard.isVisible())
        keyboard.hide();
    return true;
}

bool View::resignFirstResponder()
{
    if (!isFirstResponder())
        return true;
    if (!canResignFirstResponder())
        return false;
    finishResigning();
    return true;
}

void View::finishResigning()
{
    auto self = shared_from_this();
    View& root = rootView();
    if (root.m_firstResponder.lock().get() != this)
        return;
    root.m_firstResponder.reset();
    didResignFirstResponder();
    Keyboard& keyboard = Keyboard::shared();
    if (!root.m_handingOverFirstResponder && keyboard.responder().get() == this)
        keyboard.hide();
}

bool View::isFirstResponder() const
{
    return rootView().m_firstResponder.lock().get() == this;
}

std::shared_ptr<View> View::currentFirstResponder() const
{
    return rootView().m_firstResponder.lock();
}

bool View::endEditing(bool force)
{
    auto responder = currentFirstResponder();
    if (!responder || !responder->isDescendantOf(*this))
        return true;
    if (force) {
        responder->finishResigning();
        return true;
    }
    return responder->resignFirstResponder();
}

}
