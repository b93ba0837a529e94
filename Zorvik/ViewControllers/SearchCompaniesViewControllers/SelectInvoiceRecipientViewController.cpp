#include "Zorvik/ViewControllers/SearchCompaniesViewControllers/SelectInvoiceRecipientViewController.h"

#include "Zorvik/Controllers/CompanySummaryControllers/CompanySearchViewTableDatasource.h"
#include "Zorvik/Models/ReusableTimerObjc.h"
#include "Zorvik/ViewControllers/Transitions/Animations/InstantViewControllerTransition.h"
#include "Zorvik/Views/Colours/ColoursObjc.h"
#include "Zorvik/Views/Constraints/MatchParentConstraints.h"
#include "Zorvik/Views/InvoiceReceiverView/InvoiceReceiverView.h"
#include "Zorvik/Views/SearchView/EditableSearchView.h"
#include "Zorvik/Views/SearchView/EmptySearchResultsView.h"
#include "Zorvik/Views/SearchView/SearchViewColourScheme.h"
#include "ZorvikAPI/models/Business.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Screen.h"

namespace zorvik {

using platform::foundation::DictionaryRef;

SelectInvoiceRecipientViewController::SelectInvoiceRecipientViewController(
    std::weak_ptr<SelectInvoiceRecipientSummaryControllerDelegate> delegate, DictionaryRef firstRecipient,
    std::weak_ptr<platform::ui::ViewController> finished)
    : m_delegate(std::move(delegate))
    , m_firstRecipient(std::move(firstRecipient))
    , m_finished(std::move(finished))
    , m_colourScheme(SearchView::companySearchLightColourScheme())
{
}

void SelectInvoiceRecipientViewController::loadView()
{
    auto self = std::static_pointer_cast<SelectInvoiceRecipientViewController>(shared_from_this());
    auto theme = EditableSearchView::barTheme(ColoursObjc::teal(), "BtnTealLessThan");

    auto emptyView = EmptySearchResultsView::make(
        *m_colourScheme->emptyViewColourScheme(), "We will search our database.");
    auto datasource = std::make_shared<CompanySearchViewTableDatasource>(m_colourScheme, emptyView);
    m_searchView = EditableSearchView::make(
        datasource, m_colourScheme, theme, "Invoice recipient name", std::make_shared<ReusableTimerObjc>());
    m_searchView->setController(std::static_pointer_cast<SearchControllerProtocol>(self));
    m_searchView->setTitle("Recipient name");
    m_detailsView = InvoiceReceiverView::make();

    setView(std::make_shared<platform::ui::View>(platform::ui::Screen::main().bounds()));
    showFace(m_searchView);
}

void SelectInvoiceRecipientViewController::viewWillAppear(bool)
{
    if (m_firstRecipient)
        companySelected(m_firstRecipient);
}

std::shared_ptr<platform::ui::TransitionAnimator> SelectInvoiceRecipientViewController::pushAnimation(
    const std::shared_ptr<platform::ui::ViewController>&)
{
    return std::make_shared<InstantViewControllerTransition>();
}

std::shared_ptr<platform::ui::TransitionAnimator> SelectInvoiceRecipientViewController::popAnimation(
    const std::shared_ptr<platform::ui::ViewController>&)
{
    return std::make_shared<InstantViewControllerTransition>();
}

std::shared_ptr<SearchViewProtocol> SelectInvoiceRecipientViewController::searchView() const
{
    return m_searchView;
}

void SelectInvoiceRecipientViewController::showFace(const std::shared_ptr<platform::ui::View>& face)
{
    if (face->superview())
        face->removeFromSuperview();
    view()->addSubview(face);
    MatchParentConstraints::constrainChildToMatchParent(face, view());
}

void SelectInvoiceRecipientViewController::showDetails()
{
    m_detailsView->setController(
        std::static_pointer_cast<SelectInvoiceRecipientViewController>(shared_from_this()));
    showFace(m_detailsView);
}

void SelectInvoiceRecipientViewController::showDetails(const DictionaryRef& business)
{
    m_detailsView->setBusiness(business);
    showDetails();
}

void SelectInvoiceRecipientViewController::companySelected(const DictionaryRef& business)
{
    m_isEditing = false;
    m_searchView->removeFromSuperview();
    showDetails(business);
}

void SelectInvoiceRecipientViewController::searchItemSelected(const SearchItem& item)
{
    m_isEditing = false;
    // The search face stays beneath the details: its field must not go on taking the keys.
    m_searchView->endEditing(true);
    if (auto name = std::get_if<std::string>(&item))
        showDetails(api::Business::withName(*name).record());
    else if (auto business = std::get_if<DictionaryRef>(&item))
        showDetails(*business);
}

void SelectInvoiceRecipientViewController::showSearch()
{
    m_isEditing = true;
    m_detailsView->removeFromSuperview();
    if (m_searchView->searchTerm().empty()) {
        const auto& business = m_detailsView->business();
        m_searchView->setSearchTerm(business ? api::Business(business).name().value_or("") : "");
    }
    showFace(m_searchView);
    m_searchView->focusSearchField();
}

void SelectInvoiceRecipientViewController::searchCompanies()
{
    showSearch();
}

void SelectInvoiceRecipientViewController::navigateBack()
{
    auto self = shared_from_this();
    if (m_isEditing) {
        m_isEditing = false;
        m_searchView->removeFromSuperview();
        showDetails();
        return;
    }
    auto navigation = navigationController();
    if (!navigation)
        return;
    if (auto finished = m_finished.lock())
        navigation->popToViewController(*finished, true);
    else
        navigation->popViewController(true);
}

void SelectInvoiceRecipientViewController::businessConfirmed(const DictionaryRef& business)
{
    auto self = shared_from_this();
    navigateBack();
    if (auto listener = delegate())
        listener->companyConfirmed(business);
}

}
