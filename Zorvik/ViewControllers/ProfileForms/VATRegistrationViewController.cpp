#include "Zorvik/ViewControllers/ProfileForms/VATRegistrationViewController.h"

#include "Zorvik/Controllers/ProfileFormController/VATRegistrationController.h"
#include "Zorvik/ViewControllers/ProfileForms/SignedInBusiness.h"
#include "Zorvik/Views/VATRegistrationView/VATRegistrationView.h"
#include "platform/foundation/Assertion.h"

namespace zorvik {

VATRegistrationViewController::VATRegistrationViewController()
{
    setTitle("VAT info");
}

void VATRegistrationViewController::loadView()
{
    auto registration = signedInBusiness("The VAT screen").vatRegistration();
    platform::foundation::precondition(
        registration.has_value(), "The VAT screen needs the signed-in business's VAT registration");
    auto view = XibViewObjcmb::create<VATRegistrationView>(platform::ui::Rect::zero(), *registration);
    m_controller = VATRegistrationController::make(*registration, view, navigationController());
    setView(view);
}

}
