#include "platform/ui/Window.h"

#include "platform/ui/Screen.h"

#include <algorithm>

namespace platform::ui {

namespace {

std::vector<Window*>& liveWindows()
{
    static std::vector<Window*> windows;
    return windows;
}

std::weak_ptr<Window>& keyWindowReference()
{
    static std::weak_ptr<Window> key;
    return key;
}

}

Window::Window()
    : Window(Screen::main().bounds())
{
}

Window::Window(Rect frame)
    : View(frame)
{
    liveWindows().push_back(this);
}

Window::~Window()
{
    std::erase(liveWindows(), this);
}

std::string Window::className() const
{
    return "Window";
}

Window* Window::window() const
{
    return const_cast<Window*>(this);
}

void Window::makeKeyAndVisible()
{
    keyWindowReference() = std::static_pointer_cast<Window>(shared_from_this());
    setHidden(false);
}

bool Window::isKeyWindow() const
{
    return keyWindowReference().lock().get() == this;
}

std::shared_ptr<Window> Window::keyWindow()
{
    return keyWindowReference().lock();
}

const std::vector<Window*>& Window::windows()
{
    return liveWindows();
}

void Window::setContentView(const std::shared_ptr<View>& view)
{
    if (view == m_contentView)
        return;
    if (m_contentView && m_contentView->superview().get() == this)
        m_contentView->removeFromSuperview();
    m_contentView = view;
    if (!view)
        return;
    if (view->translatesAutoresizingMaskIntoConstraints())
        view->setFrame(bounds());
    insertSubviewAt(view, 0);
}

void Window::setFrame(const Rect& frame)
{
    View::setFrame(frame);
    if (m_contentView && m_contentView->superview().get() == this
        && m_contentView->translatesAutoresizingMaskIntoConstraints())
        m_contentView->setFrame(bounds());
}

}
