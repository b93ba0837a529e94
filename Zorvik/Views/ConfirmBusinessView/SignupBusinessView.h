#pragma once

#include "Zorvik/Views/ConfirmBusinessView/CompanySummaryViewProtocol.h"
#include "Zorvik/Views/ContentView/ContentViewObjc.h"
#include "Zorvik/Views/NavigationBar/NavigationBarDelegate.h"
#include "Zorvik/Views/OneButtonDialogView/OneButtonDialogControllerProtocol.h"

#include <memory>
#include <optional>
#include <string>

namespace zorvik {

class LoadingView;
class OneButtonDialogView;
class SignupWithCompanyViewController;

/// What the two sign-up confirmation views share: the business under its name header, a confirm button
/// (outlet "button", action "companyConfirmed") that gives way to a spinner (outlet "loadingView") while
/// busy, the back button of the bar, and the one-button message dialog. Presses reach the screen only
/// when it is a SignupWithCompanyViewController.
class SignupBusinessView : public ContentViewObjc,
                           public NavigationBarDelegate,
                           public OneButtonDialogControllerProtocol,
                           public CompanySummaryViewProtocol {
public:
    /// The confirm button's title.
    static constexpr const char* kConfirmTitle { "Confirm" };

    /// A view for `business`; subclasses are made with create<T>().
    explicit SignupBusinessView(platform::foundation::DictionaryRef business);

    std::string className() const override { return "SignupBusinessView"; }

    void showLoadingView() override;
    void hideLoadingView() override;
    /// The dialog is made once and reused for every later message.
    void showInfoMessage(const std::string& message, const std::string& buttonText, int event) override;

    /// The button's action: the screen's companyConfirmed() with this view's business.
    void companyConfirmed();
    /// The bar's back button: the screen's navigateBack(); nothing while busy.
    void negativePressed() override;
    /// The dialog's button: the screen's infoViewDismissed() with the event of the message shown.
    void dialogDismissed(OneButtonDialogView& dialog) override;

    const std::shared_ptr<platform::ui::Button>& button() const { return m_button; }
    const std::shared_ptr<LoadingView>& loadingView() const { return m_loadingView; }
    /// The message dialog, null before the first message.
    const std::shared_ptr<OneButtonDialogView>& infoView() const { return m_infoView; }
    /// The event of the last message, nullopt before the first.
    std::optional<int> event() const { return m_event; }

protected:
    void construct() override;

private:
    std::shared_ptr<SignupWithCompanyViewController> signupScreen() const;

    std::shared_ptr<platform::ui::Button> m_button;
    std::shared_ptr<LoadingView> m_loadingView;
    std::shared_ptr<OneButtonDialogView> m_infoView;
    std::optional<int> m_event;
};

}
