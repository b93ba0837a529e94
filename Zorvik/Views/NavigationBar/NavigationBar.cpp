#include "Zorvik/Views/NavigationBar/NavigationBar.h"

#include "Zorvik/Views/LoadingView/LoadingView.h"
#include "Zorvik/Views/NavigationBar/NavigationBarDelegate.h"
#include "platform/ui/Button.h"
#include "platform/ui/Image.h"
#include "platform/ui/Label.h"
#include "platform/ui/VisualFormat.h"

namespace zorvik {

using platform::ui::AttributedString;
using platform::ui::Button;
using platform::ui::Color;
using platform::ui::ControlEvent;
using platform::ui::ControlState;
using platform::ui::Image;

namespace {

// The colour of a right text button's title while the button is disabled.
constexpr Color kDisabledTitleColour = Color::fromBytes(199, 199, 205);

}

NavigationBar::NavigationBar()
{
    declareOutlet("title", m_title);
    declareOutlet("negativeButton", m_negativeButton);
    declareOutlet("positiveButton", m_positiveButton);
    declareOutlet("loadingView", m_loadingView);
    declareOutlet("divider", m_divider);
    declareAction("negativePressed", [this](platform::ui::View&) { negativePressed(); });
    declareAction("positivePressed", [this](platform::ui::View&) { positivePressed(); });
}

std::shared_ptr<NavigationBar> NavigationBar::make(const std::string& text)
{
    auto bar = create<NavigationBar>();
    bar->setText(text);
    return bar;
}

std::shared_ptr<platform::ui::View> NavigationBar::fromNib(const platform::ui::NibCoder& coder)
{
    auto bar = create<NavigationBar>(coder.frame);
    bar->setText(std::string());
    return bar;
}

std::optional<std::string> NavigationBar::text() const
{
    return titleLabel()->text();
}

void NavigationBar::setText(const std::optional<std::string>& text)
{
    titleLabel()->setText(text);
}

Color NavigationBar::titleColour() const
{
    return titleLabel()->textColor();
}

void NavigationBar::setTitleColour(const Color& colour)
{
    titleLabel()->setTextColor(colour);
}

Color NavigationBar::dividerColour() const
{
    return divider()->backgroundColor();
}

void NavigationBar::setDividerColour(const Color& colour)
{
    divider()->setBackgroundColor(colour);
}

bool NavigationBar::positiveButtonHidden() const
{
    return positiveButton()->isHidden();
}

void NavigationBar::setPositiveButtonHidden(bool hidden)
{
    auto button = positiveButton();
    button->setHidden(hidden);
    if (m_loading && m_buttonUnderSpinner.lock() == button)
        m_hiddenBeforeSpinner = hidden;
}

void NavigationBar::negativePressed()
{
    if (auto delegate = observer())
        delegate->negativePressed();
}

void NavigationBar::positivePressed()
{
    if (auto delegate = observer(); delegate && delegate->implementsPositivePressed())
        delegate->positivePressed();
}

void NavigationBar::pushNegativeButton(const std::shared_ptr<Button>& button)
{
    addButton(Side::Negative, button, true);
}

void NavigationBar::pushPositiveButton(const std::shared_ptr<Button>& button)
{
    addButton(Side::Positive, button, true);
}

void NavigationBar::addNegativeButton(const std::shared_ptr<Button>& button)
{
    addButton(Side::Negative, button, false);
}

void NavigationBar::addPositiveButton(const std::shared_ptr<Button>& button)
{
    addButton(Side::Positive, button, false);
}

void NavigationBar::setNegativeButtonText(const std::optional<AttributedString>& text)
{
    if (text)
        addNegativeButton(textButton(Side::Negative, *text));
}

void NavigationBar::setPositiveButtonText(const std::optional<AttributedString>& text)
{
    if (text)
        addPositiveButton(textButton(Side::Positive, *text));
}

void NavigationBar::setNegativeButtonImage(const std::shared_ptr<const Image>& image)
{
    addNegativeButton(imageButton(Side::Negative, image));
}

void NavigationBar::setPositiveButtonImage(const std::shared_ptr<const Image>& image)
{
    addPositiveButton(imageButton(Side::Positive, image));
}

void NavigationBar::addConstraintsForButton(
    const std::shared_ptr<Button>& button, const std::string& horizontalConstraintsDescription)
{
    platform::ui::VisualFormat::Views views { { "subview", button }, { "divider", divider() } };
    auto horizontal = platform::ui::VisualFormat::constraints(horizontalConstraintsDescription, views);
    auto vertical = platform::ui::VisualFormat::constraints(verticalButtonConstraint, views);
    View::addConstraints(horizontal);
    View::addConstraints(vertical);
}

void NavigationBar::hideNegativeButton()
{
    negativeButton()->setHidden(true);
}

void NavigationBar::showLoadingViewWithColour(const Color& colour)
{
    auto button = positiveButton();
    if (!m_loading) {
        m_loading = true;
        m_buttonUnderSpinner = button;
        m_hiddenBeforeSpinner = button->isHidden();
    }
    button->setHidden(true);
    auto spinner = loadingView();
    spinner->setHidden(false);
    spinner->setSpinnerColour(colour);
    spinner->beginAnimation();
}

void NavigationBar::hideLoadingView()
{
    auto spinner = loadingView();
    spinner->endAnimation();
    spinner->setHidden(true);
    if (!m_loading)
        return;
    m_loading = false;
    if (auto button = m_buttonUnderSpinner.lock(); button && button == positiveButton())
        button->setHidden(m_hiddenBeforeSpinner);
    m_buttonUnderSpinner.reset();
}

void NavigationBar::disabledPositiveButton()
{
    positiveButton()->setEnabled(false);
}

void NavigationBar::enablePositiveButton()
{
    positiveButton()->setEnabled(true);
}

std::shared_ptr<Button> NavigationBar::standardNegativeButtonTemplate()
{
    auto button = std::make_shared<Button>(platform::ui::ButtonType::Custom);
    button->setContentHorizontalAlignment(platform::ui::ContentHorizontalAlignment::Left);
    return button;
}

std::shared_ptr<Button> NavigationBar::standardPositiveButtonTemplate()
{
    auto button = std::make_shared<Button>(platform::ui::ButtonType::Custom);
    button->setContentHorizontalAlignment(platform::ui::ContentHorizontalAlignment::Right);
    return button;
}

void NavigationBar::addButton(Side side, const std::shared_ptr<Button>& button, bool push)
{
    bool negative = side == Side::Negative;
    auto current = negative ? negativeButton() : positiveButton();
    if (push)
        (negative ? m_negativeButtonStack : m_positiveButtonStack).push(current);
    current->removeFromSuperview();

    button->addTarget(lifetime(), ControlEvent::TouchUpInside, [this, negative](platform::ui::Control&) {
        if (negative)
            negativePressed();
        else
            positivePressed();
    });
    button->setTranslatesAutoresizingMaskIntoConstraints(false);
    addSubview(button);
    addConstraintsForButton(button, negative ? horizontalNegativeConstraint : horizontalPositiveConstraint);
    (negative ? m_negativeButton : m_positiveButton) = button;
}

std::shared_ptr<Button> NavigationBar::textButton(Side side, const AttributedString& text) const
{
    bool negative = side == Side::Negative;
    auto button = negative ? standardNegativeButtonTemplate() : standardPositiveButtonTemplate();
    Color colour = titleColour();
    AttributedString normal = text;
    normal.setForegroundColor(colour, normal.fullRange());
    button->setAttributedTitle(normal, ControlState::Normal);
    if (!negative) {
        AttributedString disabled = text;
        disabled.setForegroundColor(kDisabledTitleColour, disabled.fullRange());
        button->setAttributedTitle(disabled, ControlState::Disabled);
    }
    button->setTitleColor(colour, ControlState::Normal);
    return button;
}

std::shared_ptr<Button> NavigationBar::imageButton(Side side, const std::shared_ptr<const Image>& image) const
{
    auto button
        = side == Side::Negative ? standardNegativeButtonTemplate() : standardPositiveButtonTemplate();
    button->setImage(image, ControlState::Normal);
    if (image)
        button->setAccessibilityLabel(image->name());
    return button;
}

}
