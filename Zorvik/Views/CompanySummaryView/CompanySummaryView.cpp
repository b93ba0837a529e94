#include "Zorvik/Views/CompanySummaryView/CompanySummaryView.h"

#include "ZorvikAPI/models/Business.h"
#include "platform/ui/Label.h"

namespace zorvik {

CompanySummaryView::CompanySummaryView(platform::foundation::DictionaryRef business)
    : SignupBusinessView(std::move(business))
{
    declareOutlet("addressLn1", m_addressLn1);
    declareOutlet("addressLn2", m_addressLn2);
    declareOutlet("county", m_county);
    declareOutlet("postCode", m_postCode);
    declareOutlet("registrationNumber", m_registrationNumber);
}

std::shared_ptr<CompanySummaryView> CompanySummaryView::make(platform::foundation::DictionaryRef business)
{
    return create<CompanySummaryView>(platform::ui::Rect::zero(), std::move(business));
}

std::optional<std::string> CompanySummaryView::contentNib() const
{
    return std::string("CompanySummaryView");
}

void CompanySummaryView::setBusiness(platform::foundation::DictionaryRef business)
{
    SignupBusinessView::setBusiness(std::move(business));
    std::optional<api::Business> shown;
    if (ContentViewObjc::business())
        shown.emplace(ContentViewObjc::business());
    using Accessor = std::optional<std::string> (api::Business::*)() const;
    auto fill = [&shown](const std::weak_ptr<platform::ui::Label>& outlet, Accessor accessor) {
        if (auto label = outlet.lock())
            label->setText(shown ? ((*shown).*accessor)().value_or("") : std::string());
    };
    fill(m_addressLn1, &api::Business::addressLine1);
    fill(m_addressLn2, &api::Business::addressLine2);
    fill(m_county, &api::Business::county);
    fill(m_postCode, &api::Business::postCode);
    fill(m_registrationNumber, &api::Business::registrationNumber);
}

}
