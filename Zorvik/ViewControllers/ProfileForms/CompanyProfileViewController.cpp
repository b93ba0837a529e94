#include "Zorvik/ViewControllers/ProfileForms/CompanyProfileViewController.h"

#include "Zorvik/Controllers/ProfileFormController/CompanyProfileController.h"
#include "Zorvik/ViewControllers/ProfileForms/SignedInBusiness.h"
#include "Zorvik/Views/CompanyProfileView/CompanyProfileView.h"

namespace zorvik {

CompanyProfileViewController::CompanyProfileViewController()
{
    setTitle("Business info");
}

void CompanyProfileViewController::loadView()
{
    auto business = signedInBusiness("The business info screen");
    auto view = XibViewObjcmb::create<CompanyProfileView>(platform::ui::Rect::zero(), business);
    m_controller = CompanyProfileController::make(business, view, navigationController());
    setView(view);
}

}
