#include "Zorvik/Views/SearchView/SearchView.h"

#include "Zorvik/Models/ReusableTimerProtocolObjc.h"
#include "Zorvik/Views/LoadingView/LoadingView.h"
#include "Zorvik/Views/NavigationBar/NavigationBar.h"
#include "Zorvik/Views/SearchView/SearchControllerProtocol.h"
#include "Zorvik/Views/SearchView/SearchViewColourScheme.h"
#include "Zorvik/Views/Styles/ControlStyles.h"
#include "platform/ui/Button.h"
#include "platform/ui/Image.h"
#include "platform/ui/TextField.h"

namespace zorvik {

using platform::ui::Color;

SearchView::SearchView()
{
    declareOutlet("navigationBar", m_navigationBar);
    declareOutlet("searchTextField", m_searchTextField);
    declareOutlet("searchItemsTableView", m_searchItemsTableView);
    declareOutlet("loadingView", m_loadingView);
    declareOutlet("background", m_background);
    declareOutlet("divider", m_divider);
    declareOutlet("headerBackground", m_headerBackground);
    declareOutlet("textFieldBackground", m_textFieldBackground);
}

std::shared_ptr<SearchView> SearchView::make(std::shared_ptr<SearchViewTableDatasourceProtocol> datasource,
    std::shared_ptr<SearchViewColourScheme> colourScheme, std::string searchPrompt,
    std::shared_ptr<ReusableTimerProtocolObjc> timer)
{
    auto view = create<SearchView>();
    view->initialise(std::move(datasource), colourScheme, std::move(searchPrompt), std::move(timer));
    return view;
}

void SearchView::initialise(std::shared_ptr<SearchViewTableDatasourceProtocol> datasource,
    const std::shared_ptr<SearchViewColourScheme>& colourScheme, std::string searchPrompt,
    std::shared_ptr<ReusableTimerProtocolObjc> timer)
{
    auto self = std::static_pointer_cast<SearchView>(shared_from_this());
    m_datasource = std::move(datasource);
    setColourScheme(*colourScheme);
    m_searchPrompt = std::move(searchPrompt);
    m_timer = std::move(timer);
    m_searchTextField->setPlaceholder(m_searchPrompt);
    m_navigationBar->setText(m_searchPrompt);
    m_navigationBar->setTitleColour(Color::white());
    m_navigationBar->setBackgroundColor(Color::clear());
    m_navigationBar->setObserver(std::static_pointer_cast<NavigationBarDelegate>(self));
    auto back = NavigationBar::standardNegativeButtonTemplate();
    auto backImage = platform::ui::Image::named("BtnLessThanWhite");
    back->setImage(backImage);
    back->setAccessibilityLabel(backImage ? backImage->name() : "BtnLessThanWhite");
    m_navigationBar->pushNegativeButton(back);
    setColourScheme(*colourScheme);

    std::weak_ptr<SearchView> weak = self;
    m_searchTextField->addTarget(weak, platform::ui::ControlEvent::EditingChanged, [weak](auto&) {
        if (auto view = weak.lock())
            view->searchTextChanged();
    });
    m_searchItemsTableView->setDataSource(m_datasource);
    m_searchItemsTableView->setDelegate(std::static_pointer_cast<platform::ui::TableViewDelegate>(self));
    if (m_datasource->searchItems())
        reloadTable();
    m_searchTextField->becomeFirstResponder();
}

void SearchView::setColourScheme(const SearchViewColourScheme& scheme)
{
    setBackgroundColor(scheme.backgroundColour());
    m_background->setBackgroundColor(scheme.backgroundColour());
    m_navigationBar->setTitleColour(scheme.navigationBarTextColour());
    m_navigationBar->setNegativeButtonImage(scheme.backButtonImage());
    m_divider->setBackgroundColor(scheme.dividerColour());
    ControlStyles::styleTextField(*m_searchTextField, scheme.searchTextPlaceholderColour());
    m_searchTextField->setTextColor(scheme.searchTextColour());
    m_searchItemsTableView->setSeparatorColor(scheme.tableViewDividerColour());
    m_searchItemsTableView->setTableFooterView(std::make_shared<platform::ui::View>());
    m_searchItemsTableView->setBackgroundColor(scheme.tableViewColour());
    m_loadingView->setSpinnerColour(scheme.searchTextColour());
    m_headerBackground->setBackgroundColor(scheme.headerColour());
    m_textFieldBackground->setBackgroundColor(scheme.textBackgroundColour());
    m_searchItemsTableView->setBackgroundView(m_datasource ? m_datasource->emptyView() : nullptr);
}

void SearchView::showLoadingView()
{
    m_loadingView->setHidden(false);
    m_loadingView->beginAnimation();
}

void SearchView::hideLoadingView()
{
    m_loadingView->setHidden(true);
    m_loadingView->endAnimation();
}

void SearchView::fetchAllSearchItems()
{
    std::weak_ptr<SearchView> weak = std::static_pointer_cast<SearchView>(shared_from_this());
    m_datasource->fetchAllSearchItems([weak](const auto&, const SearchItems& items) {
        auto self = weak.lock();
        if (!self)
            return;
        std::string text = self->m_searchTextField->text();
        if (!text.empty()) {
            self->hideLoadingView();
            self->setSearchTerm(text);
        } else {
            self->setSearchItems(items);
        }
    });
}

void SearchView::search()
{
    m_datasource->setSearchTerm(m_searchTerm);
    showLoadingView();
    std::uint64_t search = ++m_searches;
    std::weak_ptr<SearchView> weak = std::static_pointer_cast<SearchView>(shared_from_this());
    m_timer->start(searchDelay, [weak, search] {
        auto self = weak.lock();
        if (!self)
            return;
        self->m_datasource->search(self->m_searchTerm, [weak, search](const auto& error, const auto& items) {
            if (auto view = weak.lock())
                view->searchAnswered(search, error, items);
        });
    });
}

void SearchView::searchAnswered(
    std::uint64_t search, const std::optional<platform::http::HttpError>& error, const SearchItems& items)
{
    if (search != m_searches)
        return;
    m_datasource->setSearchFailed(error.has_value());
    setSearchItems(items);
}

void SearchView::reloadTable()
{
    m_searchItemsTableView->reloadData();
}

const SearchItems& SearchView::searchItems() const
{
    return m_datasource->searchItems();
}

void SearchView::setSearchItems(SearchItems items)
{
    m_datasource->setSearchItems(std::move(items));
    hideLoadingView();
    // The status row only shows without items; with items nothing is searching any more either, and the
    // row's timer can rest.
    m_datasource->setIsSearching(false);
    reloadTable();
}

std::string SearchView::title() const
{
    return m_navigationBar->text().value_or("");
}

void SearchView::setTitle(const std::string& title)
{
    m_navigationBar->setText(title);
}

void SearchView::setSearchTerm(const std::string& term)
{
    m_searchTerm = term;
    m_searchTextField->setText(term);
    search();
}

bool SearchView::focusSearchField()
{
    return m_searchTextField && m_searchTextField->becomeFirstResponder();
}

void SearchView::searchTextChanged()
{
    setSearchTerm(m_searchTextField->text());
    if (const auto& emptyView = m_datasource->emptyView())
        emptyView->setHidden(true);
}

void SearchView::negativePressed()
{
    auto self = shared_from_this();
    if (auto listener = controller())
        listener->navigateBack();
}

void SearchView::didSelectRow(platform::ui::TableView& table, const platform::ui::IndexPath& indexPath)
{
    auto self = shared_from_this();
    auto item = m_datasource->searchItemAtIndex(indexPath.row);
    if (!item) {
        table.deselectRow(indexPath, false);
        return;
    }
    m_searchTextField->resignFirstResponder();
    if (auto listener = controller())
        listener->searchItemSelected(*item);
}

void SearchView::didMoveToWindow()
{
    XibViewObjcmb::didMoveToWindow();
    if (window())
        focusSearchField();
}

bool SearchView::becomeFirstResponder()
{
    return focusSearchField();
}

}
