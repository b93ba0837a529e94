#pragma once

#include "platform/foundation/MainQueue.h"
#include "platform/ui/Screen.h"
#include "platform/ui/TransitionAnimator.h"
#include "platform/ui/TransitionContext.h"
#include "platform/ui/View.h"
#include "platform/ui/ViewController.h"
#include "platform/ui/Window.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>

namespace zorvik::test {

/// A screen change as a navigation controller sets it up on a 320×568 screen: the outgoing screen's view
/// fills the container, which fills a window; the incoming screen's view is loaded but not placed.
class TransitionFixture : public testing::Test {
protected:
    void SetUp() override
    {
        window->setContentView(container);
        container->addSubview(from->view());
        from->view()->setFrame(container->bounds());
    }

    /// Runs the animator on a fresh context for the change; `completed` records how it ended.
    std::shared_ptr<platform::ui::TransitionContext> run(platform::ui::TransitionAnimator& animator)
    {
        auto context = std::make_shared<platform::ui::TransitionContext>(
            container, from, to, true, [this](bool didComplete) { completed = didComplete; });
        context->setDuration(animator.transitionDuration(context.get()));
        animator.animateTransition(context);
        return context;
    }

    /// Moves the main queue's clock on.
    static void advance(double seconds) { platform::foundation::mainQueue().advance(seconds); }

    platform::ui::ScopedMainScreen screen { platform::ui::Screen::size320x568 };
    std::shared_ptr<platform::ui::Window> window = std::make_shared<platform::ui::Window>();
    std::shared_ptr<platform::ui::View> container = std::make_shared<platform::ui::View>();
    std::shared_ptr<platform::ui::ViewController> from = std::make_shared<platform::ui::ViewController>();
    std::shared_ptr<platform::ui::ViewController> to = std::make_shared<platform::ui::ViewController>();
    std::optional<bool> completed;
};

}
