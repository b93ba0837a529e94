#include "platform/ui/NavigationController.h"

#include "platform/foundation/MainQueue.h"
#include "platform/ui/TransitionAnimator.h"
#include "platform/ui/TransitionContext.h"
#include "platform/ui/View.h"
#include "platform/ui/tests/ControllerFixture.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>

namespace platform::ui::test {
namespace {

using ::testing::ElementsAre;

/// Adds the incoming view and completes after its duration on the main queue's clock, with `completes`.
class TimedAnimator : public TransitionAnimator {
public:
    TimedAnimator(double duration, bool completes)
        : m_duration(duration)
        , m_completes(completes)
    {
    }

    double transitionDuration(const TransitionContext*) const override { return m_duration; }

    void animateTransition(const std::shared_ptr<TransitionContext>& context) override
    {
        context->containerView()->addSubview(context->view(TransitionContext::Key::To));
        bool completes = m_completes;
        foundation::mainQueue().after(
            context->duration(), [context, completes] { context->completeTransition(completes); });
    }

private:
    double m_duration;
    bool m_completes;
};

/// Records what it is asked and told, and answers with a timed animator when given one.
class RecordingDelegate : public NavigationControllerDelegate {
public:
    explicit RecordingDelegate(Journal journal)
        : m_journal(std::move(journal))
    {
    }

    std::shared_ptr<TransitionAnimator> animationController(NavigationController&,
        NavigationOperation operation, const std::shared_ptr<ViewController>& from,
        const std::shared_ptr<ViewController>& to) override
    {
        asked.push_back(std::to_string(int(operation)) + " " + from->title() + ">" + to->title());
        return animator;
    }

    void willShow(NavigationController&, ViewController& controller, bool) override
    {
        m_journal->push_back("willShow " + controller.title());
    }

    void didShow(NavigationController&, ViewController& controller, bool) override
    {
        m_journal->push_back("didShow " + controller.title());
    }

    std::shared_ptr<TransitionAnimator> animator;
    std::vector<std::string> asked;

private:
    Journal m_journal;
};

class NavigationControllerTest : public ControllerFixture {
protected:
    void SetUp() override
    {
        ControllerFixture::SetUp();
        navigation->setDelegate(delegate);
        navigation->setViewControllers({ a }, false);
        ViewController::setRootViewController(*window, navigation);
        takeJournal();
    }

    std::shared_ptr<NavigationController> navigation { std::make_shared<NavigationController>() };
    std::shared_ptr<RecordingDelegate> delegate { std::make_shared<RecordingDelegate>(journal) };
    std::shared_ptr<RecordingController> a { controller("A") };
    std::shared_ptr<RecordingController> b { controller("B") };
    std::shared_ptr<RecordingController> c { controller("C") };
};

TEST_F(NavigationControllerTest, DelegateAnimatorFinishesPushAndPopOnlyAfterItsDuration)
{
    delegate->animator = std::make_shared<TimedAnimator>(0.4, true);

    navigation->pushViewController(b, true);
    EXPECT_EQ(navigation->topViewController(), b);
    ASSERT_TRUE(navigation->isInTransition());
    EXPECT_DOUBLE_EQ(navigation->transitionContext()->duration(), 0.4);
    advance(0.39);
    EXPECT_TRUE(navigation->isInTransition());
    EXPECT_EQ(a->view()->superview(), navigation->view());
    EXPECT_EQ(b->appearanceState(), AppearanceState::Appearing);
    advance(0.01);
    EXPECT_FALSE(navigation->isInTransition());
    EXPECT_EQ(a->view()->superview(), nullptr);
    EXPECT_EQ(b->appearanceState(), AppearanceState::Appeared);
    EXPECT_EQ(b->navigationController(), navigation);

    std::weak_ptr<ViewController> popped = b;
    EXPECT_EQ(navigation->popViewController(true), b);
    b.reset();
    EXPECT_EQ(navigation->topViewController(), a);
    advance(0.3);
    EXPECT_FALSE(popped.expired()) << "the popped screen lives until its transition finishes";
    advance(0.1);
    EXPECT_TRUE(popped.expired());
    EXPECT_EQ(a->view()->superview(), navigation->view());
    EXPECT_THAT(delegate->asked, ElementsAre("1 A>B", "2 B>A"));
}

TEST_F(NavigationControllerTest, StandardSlideRunsWhenTheDelegateAnswersNone)
{
    navigation->pushViewController(b, true);
    advance(NavigationController::defaultTransitionDuration - 0.01);
    EXPECT_TRUE(navigation->isInTransition());
    advance(0.01);
    EXPECT_FALSE(navigation->isInTransition());
    EXPECT_EQ(b->view()->frame(), navigation->view()->bounds());
    EXPECT_THAT(delegate->asked, ElementsAre("1 A>B"));
}

TEST_F(NavigationControllerTest, ReplacingTheStackCountsAsPushWhenTheNewTopIsNewElsePop)
{
    struct Case {
        std::vector<std::shared_ptr<ViewController>> before;
        std::vector<std::shared_ptr<ViewController>> after;
        std::string asked;
    };
    std::vector<Case> cases = {
        { { a }, { a, b }, "1 A>B" },
        { { a, b }, { a }, "2 B>A" },
        { { a, b }, { c }, "1 B>C" },
        { { a, b }, { b, a, c }, "1 B>C" },
        { { a, b, c }, { b }, "2 C>B" },
    };
    for (auto& test : cases) {
        navigation->setViewControllers(test.before, false);
        delegate->asked.clear();
        navigation->setViewControllers(test.after, true);
        EXPECT_EQ(navigation->viewControllers(), test.after);
        advance(1);
        EXPECT_THAT(delegate->asked, ElementsAre(test.asked));
        EXPECT_EQ(test.after.back()->view()->superview(), navigation->view());
    }
}

TEST_F(NavigationControllerTest, AppearanceCallbacksComeInThePlatformsOrder)
{
    navigation->pushViewController(b, true);
    advance(1);
    EXPECT_THAT(takeJournal(),
        ElementsAre("B didLoad", "A willDisappear", "B willAppear moving", "willShow B", "A didDisappear",
            "B didAppear moving", "didShow B"));

    navigation->popViewController(false);
    EXPECT_THAT(takeJournal(),
        ElementsAre("B willDisappear leaving", "A willAppear", "willShow A", "B didDisappear leaving",
            "A didAppear", "didShow A"));
}

TEST_F(NavigationControllerTest, ChangesAskedForDuringATransitionWaitForIt)
{
    delegate->animator = std::make_shared<TimedAnimator>(0.5, true);
    navigation->pushViewController(b, true);
    navigation->pushViewController(c, true);
    EXPECT_EQ(navigation->popViewController(true), nullptr) << "a waiting pop cannot know what it pops";
    EXPECT_EQ(navigation->viewControllers(), (std::vector<std::shared_ptr<ViewController>> { a, b }));

    advance(0.5);
    EXPECT_EQ(navigation->viewControllers(), (std::vector<std::shared_ptr<ViewController>> { a, b, c }));
    EXPECT_TRUE(navigation->isInTransition());
    advance(0.5);
    EXPECT_EQ(navigation->viewControllers(), (std::vector<std::shared_ptr<ViewController>> { a, b }));
    advance(0.5);
    EXPECT_FALSE(navigation->isInTransition());
    EXPECT_THAT(delegate->asked, ElementsAre("1 A>B", "1 B>C", "2 C>B"));
    EXPECT_EQ(b->appearanceState(), AppearanceState::Appeared);
    EXPECT_EQ(c->appearanceState(), AppearanceState::Disappeared);
}

/// Takes a screen pushed as passing off the stack when the next screen is pushed over it, deciding in its own
/// override of the push, as the app's stack with screens that leave no history does.
class PassingNavigationController : public NavigationController {
public:
    void pushPassing(const std::shared_ptr<ViewController>& controller, bool animated)
    {
        m_passing.push_back(controller);
        pushViewController(controller, animated);
    }

    void pushViewController(const std::shared_ptr<ViewController>& controller, bool animated) override
    {
        auto top = topViewController();
        if (!isInTransition() && top
            && std::find(m_passing.begin(), m_passing.end(), top) != m_passing.end()) {
            auto controllers = viewControllers();
            controllers.pop_back();
            setViewControllers(std::move(controllers), false);
        }
        NavigationController::pushViewController(controller, animated);
    }

private:
    std::vector<std::shared_ptr<ViewController>> m_passing;
};

TEST_F(NavigationControllerTest, ChangesThatWaitForATransitionGoThroughTheSubclasssOverride)
{
    auto passing = std::make_shared<PassingNavigationController>();
    auto root = controller("Root");
    auto form = controller("Form");
    auto pin = controller("Pin");
    auto next = controller("Next");
    passing->setDelegate(delegate);
    passing->setViewControllers({ root }, false);
    ViewController::setRootViewController(*window, passing);
    delegate->animator = std::make_shared<TimedAnimator>(0.5, true);

    passing->pushViewController(form, true);
    passing->pushPassing(pin, false);
    passing->pushViewController(next, true);
    advance(0.5);
    EXPECT_EQ(passing->viewControllers(), (std::vector<std::shared_ptr<ViewController>> { root, form, next }))
        << "the waiting push of Next took the passing Pin off first";
    advance(0.5);
    EXPECT_FALSE(passing->isInTransition());
    EXPECT_THAT(delegate->asked, ElementsAre("1 Root>Form", "1 Form>Next"));
    EXPECT_EQ(pin->parent(), nullptr);
    EXPECT_EQ(next->view()->superview(), passing->view());
}

TEST_F(NavigationControllerTest, CancelledTransitionPutsTheStackBack)
{
    delegate->animator = std::make_shared<TimedAnimator>(0.2, false);
    navigation->pushViewController(b, true);
    advance(0.2);
    EXPECT_EQ(navigation->viewControllers(), (std::vector<std::shared_ptr<ViewController>> { a }));
    EXPECT_EQ(a->appearanceState(), AppearanceState::Appeared);
    EXPECT_EQ(b->appearanceState(), AppearanceState::Disappeared);
    EXPECT_EQ(b->view()->superview(), nullptr);
    EXPECT_EQ(b->parent(), nullptr);
}

TEST_F(NavigationControllerTest, PopsReturnWhatTheyTookAndRejectMisuse)
{
    navigation->setViewControllers({ a, b, c }, false);
    EXPECT_EQ(
        navigation->popToViewController(*b, false), (std::vector<std::shared_ptr<ViewController>> { c }));
    navigation->pushViewController(c, false);
    EXPECT_EQ(
        navigation->popToRootViewController(false), (std::vector<std::shared_ptr<ViewController>> { b, c }));
    EXPECT_EQ(navigation->popViewController(false), nullptr) << "the root stays";

    auto stranger = controller("S");
    EXPECT_THROW(navigation->popToViewController(*stranger, false), std::logic_error);
    EXPECT_THROW(navigation->pushViewController(a, false), std::invalid_argument);
    EXPECT_THROW(navigation->setViewControllers({ b, b }, false), std::invalid_argument);
    EXPECT_EQ(navigation->viewControllers(), (std::vector<std::shared_ptr<ViewController>> { a }));
}

TEST_F(NavigationControllerTest, OffScreenChangesSwapViewsWithoutCallbacksUntilShown)
{
    ViewController::setRootViewController(*window, nullptr);
    takeJournal();
    navigation->pushViewController(b, true);
    EXPECT_FALSE(navigation->isInTransition());
    EXPECT_THAT(takeJournal(), ElementsAre("B didLoad"));
    ViewController::setRootViewController(*window, navigation);
    EXPECT_THAT(takeJournal(), ElementsAre("B willAppear", "B didAppear"));
}

}
}
