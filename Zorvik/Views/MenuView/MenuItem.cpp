#include "Zorvik/Views/MenuView/MenuItem.h"

#include "Zorvik/Views/Colours/ColoursObjc.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"

namespace zorvik {

namespace {

bool isEmpty(const platform::ui::Label& label)
{
    return !label.text() || label.text()->empty();
}

}

MenuItem::MenuItem()
{
    declareOutlet("itemIcon", m_itemIcon);
    declareOutlet("itemDescription", m_itemDescription);
    declareOutlet("itemTopExtraDetail", m_itemTopExtraDetail);
    declareOutlet("itemBottomExtraDetail", m_itemBottomExtraDetail);
    declareOutlet("arrowImageView", m_arrowImageView);
    declareOutlet("actionButton", m_actionButton);
    declareAction("action", [this](platform::ui::View&) { action(); });
}

std::shared_ptr<MenuItem> MenuItem::make(const std::shared_ptr<const platform::ui::Image>& itemIcon,
    const std::string& itemDescription, const std::optional<std::string>& itemBottomExtraDetail,
    const std::optional<std::string>& itemTopExtraDetail, bool isHiddenArrow, ActionHandler actionHandler)
{
    auto item = create<MenuItem>();
    item->m_itemIcon->setImage(itemIcon);
    item->m_itemDescription->setText(itemDescription);
    item->m_itemBottomExtraDetail->setText(itemBottomExtraDetail);
    item->m_itemTopExtraDetail->setText(itemTopExtraDetail);
    item->m_arrowImageView->setHidden(isHiddenArrow);
    item->m_actionHandler = std::move(actionHandler);
    item->setupLabels();
    return item;
}

void MenuItem::action()
{
    auto self = shared_from_this();
    if (m_actionHandler)
        m_actionHandler();
}

void MenuItem::updateItemTopExtraDetailWithText(const std::optional<std::string>& text)
{
    m_itemTopExtraDetail->setText(text);
}

void MenuItem::updateItemBottomExtraDetailWithText(const std::optional<std::string>& text)
{
    m_itemBottomExtraDetail->setText(text);
}

void MenuItem::updateItemTopExtraDetailWithColour(const platform::ui::Color& colour, double alpha)
{
    m_itemTopExtraDetail->setTextColor(colour);
    m_itemTopExtraDetail->setAlpha(alpha);
}

void MenuItem::updateItemBottomExtraDetailWithColour(const platform::ui::Color& colour, double alpha)
{
    m_itemBottomExtraDetail->setTextColor(colour);
    m_itemBottomExtraDetail->setAlpha(alpha);
}

void MenuItem::updateItemTopExtraDetailWithText(
    const std::optional<std::string>& text, const platform::ui::Color& colour, double alpha)
{
    updateItemTopExtraDetailWithText(text);
    updateItemTopExtraDetailWithColour(colour, alpha);
}

void MenuItem::updateItemBottomExtraDetailWithText(
    const std::optional<std::string>& text, const platform::ui::Color& colour, double alpha)
{
    updateItemBottomExtraDetailWithText(text);
    updateItemBottomExtraDetailWithColour(colour, alpha);
}

bool MenuItem::isEmptyTextFieldForTopExtraDetail() const
{
    return isEmpty(*m_itemTopExtraDetail);
}

bool MenuItem::isEmptyTextFieldForBottomExtraDetail() const
{
    return isEmpty(*m_itemBottomExtraDetail);
}

void MenuItem::setupLabels()
{
    m_itemTopExtraDetail->setTextColor(ColoursObjc::teal());
    m_itemBottomExtraDetail->setTextColor(ColoursObjc::teal());
}

}
