#include "Zorvik/Views/Nibs/Nibs.h"

#include "Zorvik/Controls/EmailTextField.h"
#include "Zorvik/ViewControllers/InvoicePreviewViewController/InvoicePreviewView.h"
#include "Zorvik/Views/BankAccountView/BankAccountViewNib.h"
#include "Zorvik/Views/CompanyProfileView/CompanyProfileViewNib.h"
#include "Zorvik/Views/CompanySettingsView/CompanySettingsViewNib.h"
#include "Zorvik/Views/ConfirmBusinessView/SignupBusinessNibs.h"
#include "Zorvik/Views/ContentView/FrameNibs.h"
#include "Zorvik/Views/CreateInvoiceView/CreateInvoiceView.h"
#include "Zorvik/Views/CurrencyControls/CurrencyNibs.h"
#include "Zorvik/Views/FolderView/FolderNibs.h"
#include "Zorvik/Views/FoldersView/FoldersViewNibs.h"
#include "Zorvik/Views/FullscreenImageView/FullscreenImageView.h"
#include "Zorvik/Views/InlineVATView/VATNibs.h"
#include "Zorvik/Views/InvoiceReceiverView/InvoiceReceiverView.h"
#include "Zorvik/Views/InvoiceReferenceNumberView/InvoiceReferenceNibs.h"
#include "Zorvik/Views/InvoiceSummaryView/InvoiceSummaryView.h"
#include "Zorvik/Views/LineItemsView/LineItemNibs.h"
#include "Zorvik/Views/LineView/LineView.h"
#include "Zorvik/Views/LoadingView/LoadingView.h"
#include "Zorvik/Views/MenuView/MenuView.h"
#include "Zorvik/Views/Nibs/OnboardingNibs.h"
#include "Zorvik/Views/PinView/PinNibs.h"
#include "Zorvik/Views/SearchView/SearchView.h"
#include "Zorvik/Views/SendInvoiceResultView/SendInvoiceResultView.h"
#include "Zorvik/Views/SwipeableContentView/SwipeNibs.h"
#include "Zorvik/Views/UIView/ViewHolder.h"
#include "Zorvik/Views/UnderlinedLabel/UnderlinedLabel.h"
#include "Zorvik/Views/VATRegistrationView/VATRegistrationViewNib.h"
#include "Zorvik/Views/XibViews/XibView.h"
#include "platform/ui/NibBuilder.h"
#include "platform/ui/NibRegistry.h"

#include <memory>
#include <mutex>

namespace zorvik {

using platform::ui::NibBuilder;
using platform::ui::NibCoder;
using platform::ui::NibRegistry;
using platform::ui::View;

namespace {

// A view of class T made from the frame the nib gives.
template<class T> std::shared_ptr<View> framed(const NibCoder& coder)
{
    return std::make_shared<T>(coder.frame);
}

// A view of class T that only nibs make: it takes the coder itself.
template<class T> std::shared_ptr<View> decoded(const NibCoder& coder)
{
    return std::make_shared<T>(coder);
}

void registerClasses()
{
    NibRegistry::registerClass("qz.XibView", XibView::fromNib<XibView>);
    NibRegistry::registerClass("ViewHolder", framed<ViewHolder>);
    NibRegistry::registerClass("LoadingView", framed<LoadingView>);
    NibRegistry::registerClass("LineView", framed<LineView>);
    NibRegistry::registerClass("FullscreenImageView", framed<FullscreenImageView>);
    NibRegistry::registerClass("UnderlinedLabel", decoded<UnderlinedLabel>);
    NibRegistry::registerClass("EmailTextField", decoded<EmailTextField>);
}

void registerLayouts()
{
    NibRegistry::registerNib("XibView", [](NibBuilder& nib) {
        nib.topLevel(std::make_shared<View>(platform::ui::Rect { 0, 0, 320, 50 }));
    });
}

}

void registerNibs()
{
    static std::once_flag registered;
    std::call_once(registered, [] {
        registerClasses();
        registerLayouts();
    });
    registerFrameNibs();
    registerCurrencyNibs();
    registerVATNibs();
    registerSendInvoiceResultViewNib();
    registerMenuNibs();
    registerLineItemNibs();
    registerInvoiceReferenceNibs();
    registerPinNibs();
    registerOnboardingNibs();
    registerBankAccountViewNib();
    registerVATRegistrationViewNib();
    registerCompanyProfileViewNib();
    registerInvoiceReceiverViewNib();
    registerInvoicePreviewViewNib();
    registerCreateInvoiceViewNib();
    registerInvoiceSummaryNibs();
    registerSearchViewNibs();
    registerSwipeNibs();
    registerFolderNibs();
    registerFoldersViewNibs();
    registerCompanySettingsViewNib();
    registerSignupBusinessNibs();
}

}
