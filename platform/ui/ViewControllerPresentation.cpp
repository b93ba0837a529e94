#include "platform/ui/ViewController.h"

#include "platform/foundation/Log.h"
#include "platform/foundation/MainQueue.h"
#include "platform/ui/Animation.h"
#include "platform/ui/Application.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Screen.h"
#include "platform/ui/View.h"
#include "platform/ui/Window.h"

#include <algorithm>
#include <stdexcept>

namespace platform::ui {

namespace {

void warn(const std::string& message)
{
    foundation::Log().write("Warning: " + message);
}

std::string nameOf(const ViewController& controller)
{
    return "<" + controller.className() + ">";
}

void runCompletion(std::function<void()> completion, bool animated)
{
    if (!completion)
        return;
    if (animated)
        completion();
    else
        foundation::mainQueue().async(std::move(completion));
}

}

std::shared_ptr<ViewController> ViewController::presentationHost(ModalPresentationStyle style)
{
    if (style == ModalPresentationStyle::OverCurrentContext) {
        for (auto controller = shared_from_this(); controller; controller = controller->parent()) {
            if (controller->m_definesPresentationContext)
                return controller;
        }
    }
    return rootAncestor();
}

Rect ViewController::presentedFrame(const ViewController& presented) const
{
    Window* window = m_view->window();
    if (presented.m_presentationStyle == ModalPresentationStyle::OverCurrentContext)
        return m_view->convertRectTo(m_view->bounds(), nullptr);
    return window->bounds();
}

void ViewController::presentViewController(
    const std::shared_ptr<ViewController>& controller, bool animated, std::function<void()> completion)
{
    if (!controller)
        throw std::invalid_argument(
            "Application tried to present a nil modal view controller on " + nameOf(*this));
    if (controller.get() == this)
        throw std::invalid_argument("Application tried to present modally a view controller on itself");
    if (controller->m_presenting.lock() || controller->parent())
        throw std::invalid_argument(
            "Application tried to present modally an active controller " + nameOf(*controller));

    auto self = shared_from_this();
    if (auto reason = controller->refusePresentation()) {
        warn("Cannot present " + nameOf(*controller) + ": " + *reason);
        return;
    }
    auto host = presentationHost(controller->m_presentationStyle);
    if (host->m_presented) {
        warn("Attempt to present " + nameOf(*controller) + " on " + nameOf(*host)
            + " which is already presenting " + nameOf(*host->m_presented));
        return;
    }
    if (host->m_presentationInProgress) {
        warn("Attempt to present " + nameOf(*controller) + " on " + nameOf(*host)
            + " while a presentation is in progress");
        return;
    }
    auto hostView = host->view();
    Window* window = hostView->window();
    if (!window) {
        warn("Attempt to present " + nameOf(*controller) + " on " + nameOf(*host)
            + " whose view is not in the window hierarchy");
        return;
    }

    host->m_presented = controller;
    host->m_presentationInProgress = true;
    controller->m_presenting = host;
    controller->m_beingPresented = true;
    bool fullScreen = controller->m_presentationStyle == ModalPresentationStyle::FullScreen;

    auto presentedView = controller->view();
    Rect frame = host->presentedFrame(*controller);
    controller->beginAppearanceTransition(true, animated);
    if (fullScreen)
        host->beginAppearanceTransition(false, animated);
    window->addSubview(presentedView);

    if (!animated) {
        presentedView->setFrame(frame);
        presentedView->setAlpha(1);
        host->finishPresentation(controller, std::move(completion), false);
        return;
    }
    if (controller->m_transitionStyle == ModalTransitionStyle::CrossDissolve) {
        presentedView->setFrame(frame);
        presentedView->setAlpha(0);
    } else {
        presentedView->setFrame(frame.offsetBy(0, window->bounds().height()));
        presentedView->setAlpha(1);
    }
    Animation::animate(
        modalTransitionDuration,
        [&] {
            presentedView->setFrame(frame);
            presentedView->setAlpha(1);
        },
        [host, controller, completion = std::move(completion)](
            bool) mutable { host->finishPresentation(controller, std::move(completion), true); });
}

void ViewController::finishPresentation(
    const std::shared_ptr<ViewController>& presented, std::function<void()> completion, bool animated)
{
    auto self = shared_from_this();
    bool fullScreen = presented->m_presentationStyle == ModalPresentationStyle::FullScreen;
    if (fullScreen && m_view) {
        if (auto superview = m_view->superview()) {
            auto& siblings = superview->subviews();
            auto position = std::find(siblings.begin(), siblings.end(), m_view);
            m_hiddenViewSuperview = superview;
            m_hiddenViewIndex = std::size_t(position - siblings.begin());
            m_view->removeFromSuperview();
        }
    }
    presented->endAppearanceTransition();
    if (fullScreen)
        endAppearanceTransition();
    presented->m_beingPresented = false;
    m_presentationInProgress = false;
    Application::shared().updateStatusBarAppearance();
    runCompletion(std::move(completion), animated);
}

void ViewController::dismissViewController(bool animated, std::function<void()> completion)
{
    auto self = shared_from_this();
    std::shared_ptr<ViewController> host;
    for (auto controller = self; controller && !host; controller = controller->parent()) {
        if (controller->m_presented)
            host = controller;
    }
    if (!host)
        host = rootAncestor()->m_presenting.lock();
    if (host)
        host->startDismissal(animated, std::move(completion));
}

void ViewController::startDismissal(bool animated, std::function<void()> completion)
{
    auto self = shared_from_this();
    if (m_presentationInProgress) {
        warn("Attempt to dismiss from " + nameOf(*this) + " while a presentation or dismiss is in progress");
        return;
    }
    auto presented = m_presented;
    if (presented->m_presented)
        presented->startDismissal(false, {});

    m_presentationInProgress = true;
    presented->m_beingDismissed = true;
    auto presentedView = presented->view();
    presentedView->endEditing(true);
    bool fullScreen = presented->m_presentationStyle == ModalPresentationStyle::FullScreen;
    if (fullScreen && m_view && !m_view->superview()) {
        if (auto superview = m_hiddenViewSuperview.lock())
            superview->insertSubviewAt(m_view, m_hiddenViewIndex);
        m_hiddenViewSuperview.reset();
    }
    presented->beginAppearanceTransition(false, animated);
    if (fullScreen)
        beginAppearanceTransition(true, animated);

    Window* window = presentedView->window();
    if (!animated || !window) {
        finishDismissal(std::move(completion), false);
        return;
    }
    double height = window->bounds().height();
    bool dissolve = presented->m_transitionStyle == ModalTransitionStyle::CrossDissolve;
    Animation::animate(
        modalTransitionDuration,
        [&] {
            if (dissolve)
                presentedView->setAlpha(0);
            else
                presentedView->setFrame(presentedView->frame().offsetBy(0, height));
        },
        [self, completion = std::move(completion)](
            bool) mutable { self->finishDismissal(std::move(completion), true); });
}

void ViewController::finishDismissal(std::function<void()> completion, bool animated)
{
    auto self = shared_from_this();
    auto presented = std::move(m_presented);
    m_presented = nullptr;
    bool fullScreen = presented->m_presentationStyle == ModalPresentationStyle::FullScreen;
    presented->view()->removeFromSuperview();
    presented->view()->setAlpha(1);
    presented->endAppearanceTransition();
    if (fullScreen)
        endAppearanceTransition();
    presented->m_beingDismissed = false;
    presented->m_presenting.reset();
    m_presentationInProgress = false;
    Application::shared().updateStatusBarAppearance();
    runCompletion(std::move(completion), animated);
}

std::shared_ptr<ViewController> ViewController::presentedViewController() const
{
    for (auto controller = shared_from_this(); controller; controller = controller->parent()) {
        if (controller->m_presented)
            return controller->m_presented;
    }
    return nullptr;
}

std::shared_ptr<ViewController> ViewController::presentingViewController() const
{
    auto controller = shared_from_this();
    while (auto parent = controller->parent())
        controller = parent;
    return controller->m_presenting.lock();
}

}
