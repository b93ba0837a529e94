#pragma once

#include "Zorvik/ViewControllers/SearchCompaniesViewControllers/SearchViewController.h"
#include "Zorvik/ViewControllers/Transitions/ViewControllerTransitionDelegate.h"
#include "Zorvik/Views/InvoiceReceiverView/InvoiceReceiverControllerProtocol.h"
#include "Zorvik/Views/SearchView/SearchControllerProtocol.h"

#include <memory>
#include <string>

namespace zorvik {

class EditableSearchView;
class InvoiceReceiverView;
class SearchViewColourScheme;

/// The opener of the invoice-recipient picker, told the business the user confirmed.
class SelectInvoiceRecipientSummaryControllerDelegate {
public:
    virtual ~SelectInvoiceRecipientSummaryControllerDelegate() = default;

    /// The user confirmed `business` (a record built from the details form) as the invoice's recipient; the
    /// picker has begun its way back to the opener.
    virtual void companyConfirmed(const platform::foundation::DictionaryRef& business) = 0;
};

/// The screen on which the user names the business an invoice goes to. It has two faces: a search of the
/// company register (an editable search, whose done button takes the typed name) and the recipient details
/// form, on which the chosen business's address is reviewed and completed.
///
///   first search  --row or done-->  details  --search-->  search again  --row or done-->  details
///   first search  --back-->  closed, nothing handed over
///   search again  --back-->  details, unchanged
///   details  --back or done-->  closed, and the delegate gets the business built from the form
///
/// Closing pops back to the screen to return to (`finished`); with a first recipient the picker opens on
/// the details face showing it.
class SelectInvoiceRecipientViewController : public SearchViewController,
                                             public SearchControllerProtocol,
                                             public ViewControllerTransitionDelegate,
                                             public InvoiceReceiverControllerProtocol {
public:
    /// A picker telling `delegate` (held weakly), showing `firstRecipient` (a business record, or null for
    /// none) when it comes on screen, and popping back to `finished` (held weakly; the screen below the
    /// picker when null) when it closes.
    explicit SelectInvoiceRecipientViewController(
        std::weak_ptr<SelectInvoiceRecipientSummaryControllerDelegate> delegate = {},
        platform::foundation::DictionaryRef firstRecipient = nullptr,
        std::weak_ptr<platform::ui::ViewController> finished = {});

    std::string className() const override { return "SelectInvoiceRecipientViewController"; }

    /// Builds both faces and shows the search.
    void loadView() override;
    /// Shows the details of the first recipient, when there is one.
    void viewWillAppear(bool animated) override;

    /// A new instant transition, whatever screen arrives.
    std::shared_ptr<platform::ui::TransitionAnimator> pushAnimation(
        const std::shared_ptr<platform::ui::ViewController>& pushed) override;
    /// A new instant transition, whatever screen leaves.
    std::shared_ptr<platform::ui::TransitionAnimator> popAnimation(
        const std::shared_ptr<platform::ui::ViewController>& popped) override;

    /// Swaps the search face for the details of `business`.
    void companySelected(const platform::foundation::DictionaryRef& business);
    /// A row (a business record) or done (the typed name, which becomes a record of that name only): the
    /// details face shows it, over the search face.
    void searchItemSelected(const SearchItem& item) override;
    /// Back on the search face: to the details face when the search was opened from there, else the picker
    /// closes without handing anything over.
    void navigateBack() override;
    /// Opens the search again from the details face, its term the shown name when it has none.
    void showSearch();
    /// The same as showSearch().
    void searchCompanies() override;
    /// The form was left: the picker closes, then the delegate hears of `business`.
    void businessConfirmed(const platform::foundation::DictionaryRef& business) override;
    /// Nothing.
    void cancelled() override { }

    std::shared_ptr<SelectInvoiceRecipientSummaryControllerDelegate> delegate() const
    {
        return m_delegate.lock();
    }
    std::shared_ptr<platform::ui::ViewController> finished() const { return m_finished.lock(); }
    const platform::foundation::DictionaryRef& firstRecipient() const { return m_firstRecipient; }
    const std::shared_ptr<SearchViewColourScheme>& colourScheme() const { return m_colourScheme; }
    std::shared_ptr<SearchViewProtocol> searchView() const override;
    const std::shared_ptr<EditableSearchView>& editableSearchView() const { return m_searchView; }
    const std::shared_ptr<InvoiceReceiverView>& detailsView() const { return m_detailsView; }
    /// Whether the search face was opened from the details face.
    bool isEditing() const { return m_isEditing; }

private:
    // Puts `face` in front on the screen's view, filling it.
    void showFace(const std::shared_ptr<platform::ui::View>& face);
    // Puts the details face in front as it stands, or after giving it `business`.
    void showDetails();
    void showDetails(const platform::foundation::DictionaryRef& business);

    std::weak_ptr<SelectInvoiceRecipientSummaryControllerDelegate> m_delegate;
    platform::foundation::DictionaryRef m_firstRecipient;
    std::weak_ptr<platform::ui::ViewController> m_finished;
    std::shared_ptr<SearchViewColourScheme> m_colourScheme;
    std::shared_ptr<EditableSearchView> m_searchView;
    std::shared_ptr<InvoiceReceiverView> m_detailsView;
    bool m_isEditing { false };
};

}
