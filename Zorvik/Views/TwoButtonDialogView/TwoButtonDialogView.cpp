#include "Zorvik/Views/TwoButtonDialogView/TwoButtonDialogView.h"

#include "Zorvik/Views/Constraints/MatchParentConstraints.h"
#include "Zorvik/Views/TwoButtonDialogView/TwoButtonDialogControllerProtocol.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"

namespace zorvik {

TwoButtonDialogView::TwoButtonDialogView()
{
    declareOutlet("alertTitleLabel", m_alertTitleLabel);
    declareOutlet("alertMessageLabel", m_alertMessageLabel);
    declareOutlet("alertNegativeButton", m_alertNegativeButton);
    declareOutlet("alertPositiveButton", m_alertPositiveButton);
    declareOutlet("iconImageView", m_iconImageView);
    declareAction("negativeButtonPressed", [this](platform::ui::View&) { negativeButtonPressed(); });
    declareAction("positiveButtonPressed", [this](platform::ui::View&) { positiveButtonPressed(); });
}

std::shared_ptr<TwoButtonDialogView> TwoButtonDialogView::make()
{
    return create<TwoButtonDialogView>();
}

void TwoButtonDialogView::setAlertTitleLabelText(const std::string& text)
{
    m_alertTitleLabel->setText(text);
}

void TwoButtonDialogView::setAlertMessageLabelText(const std::string& text)
{
    m_alertMessageLabel->setText(text);
}

void TwoButtonDialogView::setAlertPositiveButtonText(const std::string& text)
{
    m_alertPositiveButton->setTitle(text, platform::ui::ControlState::Normal);
}

void TwoButtonDialogView::setAlertNegativeButtonText(const std::string& text)
{
    m_alertNegativeButton->setTitle(text, platform::ui::ControlState::Normal);
}

void TwoButtonDialogView::setIconImage(const std::shared_ptr<const platform::ui::Image>& image)
{
    m_iconImageView->setImage(image);
}

void TwoButtonDialogView::showInParent(const std::shared_ptr<platform::ui::View>& parent,
    ActionHandler negativeActionHandler, ActionHandler positiveActionHandler)
{
    m_negativeActionHandler = std::move(negativeActionHandler);
    m_positiveActionHandler = std::move(positiveActionHandler);
    auto self = shared_from_this();
    parent->addSubview(self);
    MatchParentConstraints::constrainChildToMatchParent(self, parent);
}

void TwoButtonDialogView::negativeButtonPressed()
{
    finish(false);
}

void TwoButtonDialogView::positiveButtonPressed()
{
    finish(true);
}

void TwoButtonDialogView::finish(bool positive)
{
    auto self = shared_from_this();
    if (auto listener = controller()) {
        if (positive)
            listener->positiveButtonPressed(*this);
        else
            listener->negativeButtonPressed(*this);
    }
    removeFromSuperview();
    ActionHandler handler = positive ? m_positiveActionHandler : m_negativeActionHandler;
    if (handler)
        handler();
}

}
