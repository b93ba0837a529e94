#pragma once

#include "Zorvik/Views/FoldersView/FoldersViewProtocol.h"
#include "Zorvik/Views/XibViews/XibViewObjcmb.h"
#include "ZorvikAPI/models/Freelancer.h"

#include <memory>
#include <optional>

namespace platform::ui {
class Button;
class ImageView;
}

namespace zorvik {

class FolderViewObjc;
class FoldersTutorialView;
class TwoButtonDialogView;

/// The home screen's view: the To-Do and Done tabs over a holder that shows the open folder's list, the
/// create-invoice, settings and summary buttons, and the first-use hints on top. A tab's small image
/// flashes for 0.3 s when an invoice lands in its folder while it is closed. Laid out by the nib
/// "FoldersView"; the To-Do folder is open first.
class FoldersView : public XibViewObjcmb, public FoldersViewProtocol {
public:
    /// Seconds a tab's image shows in a flash.
    static constexpr double kFlashDuration = 0.3;

    FoldersView();

    /// The view of `freelancer`'s home screen with its two lists.
    static std::shared_ptr<FoldersView> make(api::Freelancer freelancer,
        std::shared_ptr<FolderViewObjc> todoView, std::shared_ptr<FolderViewObjc> doneView);

    std::string className() const override { return "FoldersView"; }

    /// Hands the invoices to the To-Do list, the Done list and the hints, in that order.
    void setInvoices(const platform::foundation::ArrayRef& invoices);
    const platform::foundation::ArrayRef& invoices() const { return m_invoices; }

    void loadInvoices(const platform::foundation::ArrayRef& invoices) override;
    /// Shows them; the To-Do tab flashes when the Done folder is open.
    void invoiceSent(const platform::foundation::ArrayRef& invoices) override;
    void invoiceDeleted(const platform::foundation::ArrayRef& invoices) override;
    /// Shows them, ends the swipe hint and flashes the closed folder's tab.
    void invoiceMoved(const platform::foundation::ArrayRef& invoices) override;
    void showNotificationInfoMessage(const std::string& title, const std::string& message,
        const std::string& noButtonText, const std::string& yesButtonText,
        const std::shared_ptr<const platform::ui::Image>& icon, unsigned event) override;
    std::shared_ptr<FoldersControllerProtocol> controller() const override { return m_controller.lock(); }
    void setController(const std::weak_ptr<FoldersControllerProtocol>& controller) override
    {
        m_controller = controller;
    }
    bool isSentFolderOpen() const override;

    /// Opens the To-Do folder.
    void showSentView();
    /// Opens the Done folder.
    void showDoneView();
    /// Asks for the create-invoice screen; the create-invoice hint is then done with.
    void createInvoicePressed();
    void showSettings();
    void showInvoiceSummary();

    /// Whether `folder` is the one shown.
    static bool isOpenFolder(const platform::ui::View& folder) { return folder.superview() != nullptr; }
    /// The tab image of the closed folder.
    std::shared_ptr<platform::ui::ImageView> closedFolderImageView() const;
    /// Sets the image's alpha once `delay` seconds have passed on the main queue.
    void imageViewChangeAlphaWithDelay(
        double delay, const std::shared_ptr<platform::ui::ImageView>& image, double alpha);

    /// The hints see the view covered while it is out of the window.
    void didMoveToSuperview() override;

    /// The signed-in freelancer (nullopt until made).
    const std::optional<api::Freelancer>& freelancer() const { return m_freelancer; }
    const std::shared_ptr<FolderViewObjc>& sentView() const { return m_sentView; }
    const std::shared_ptr<FolderViewObjc>& doneView() const { return m_doneView; }
    std::shared_ptr<platform::ui::View> viewHolder() const { return m_viewHolder.lock(); }
    std::shared_ptr<platform::ui::Button> sentButton() const { return m_sentButton.lock(); }
    std::shared_ptr<platform::ui::Button> doneButton() const { return m_doneButton.lock(); }
    std::shared_ptr<platform::ui::ImageView> sentImageFlash() const { return m_sentImageFlash.lock(); }
    std::shared_ptr<platform::ui::ImageView> doneImageFlash() const { return m_doneImageFlash.lock(); }
    std::shared_ptr<FoldersTutorialView> tutorialView() const { return m_tutorialView.lock(); }
    /// The alerts dialog while it exists, else null.
    const std::shared_ptr<TwoButtonDialogView>& notificationInfoView() const
    {
        return m_notificationInfoView;
    }

private:
    void flash(const std::shared_ptr<platform::ui::ImageView>& image);
    void openFolder(const std::shared_ptr<FolderViewObjc>& open,
        const std::shared_ptr<FolderViewObjc>& closed, unsigned index);

    std::optional<api::Freelancer> m_freelancer;
    platform::foundation::ArrayRef m_invoices;
    std::weak_ptr<FoldersControllerProtocol> m_controller;
    std::shared_ptr<FolderViewObjc> m_sentView;
    std::shared_ptr<FolderViewObjc> m_doneView;
    double m_imageVisible { 1.0 };
    double m_imageNotVisible { 0.0 };
    std::shared_ptr<TwoButtonDialogView> m_notificationInfoView;
    unsigned m_event { 0 };
    std::weak_ptr<platform::ui::View> m_viewHolder;
    std::weak_ptr<platform::ui::Button> m_sentButton;
    std::weak_ptr<platform::ui::Button> m_doneButton;
    std::weak_ptr<platform::ui::ImageView> m_sentImageFlash;
    std::weak_ptr<platform::ui::ImageView> m_doneImageFlash;
    std::weak_ptr<FoldersTutorialView> m_tutorialView;
};

}
