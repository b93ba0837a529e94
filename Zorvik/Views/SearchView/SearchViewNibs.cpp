#include "Zorvik/Views/LoadingView/LoadingView.h"
#include "Zorvik/Views/SearchView/AddressBookContactSearchResultsTableCell.h"
#include "Zorvik/Views/SearchView/CompanySearchResultsTableCell/CompaniesSearchResultsTableCell.h"
#include "Zorvik/Views/SearchView/EditableSearchView.h"
#include "Zorvik/Views/SearchView/EmptySearchResultsView.h"
#include "Zorvik/Views/SearchView/SearchStatusTableCell.h"
#include "Zorvik/Views/SearchView/SearchTermTableCell/SearchTermTableCell.h"
#include "Zorvik/Views/SearchView/SearchView.h"
#include "Zorvik/Views/SearchView/SearchViewColourScheme.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/NibBuilder.h"
#include "platform/ui/NibRegistry.h"
#include "platform/ui/Screen.h"
#include "platform/ui/TextField.h"

#include <mutex>

namespace zorvik {

using platform::ui::Font;
using platform::ui::ImageView;
using platform::ui::Label;
using platform::ui::NibBuilder;
using platform::ui::NibRegistry;
using platform::ui::Rect;
using platform::ui::View;

namespace {

constexpr double kBarHeight = 64;
// The header under the bar holds the search field; the table starts below the divider.
constexpr double kHeaderBottom = 120;
constexpr double kRowHeight = 44;

double screenWidth()
{
    return platform::ui::Screen::main().bounds().width();
}

std::shared_ptr<Label> label(Rect frame, double size, const std::string& fontName = "OpenSans-Regular")
{
    auto text = std::make_shared<Label>(frame);
    text->setFont(Font::named(fontName, size).value());
    return text;
}

template<class T> std::shared_ptr<T> added(const std::shared_ptr<View>& parent, std::shared_ptr<T> view)
{
    parent->addSubview(view);
    return view;
}

void buildSearchView(NibBuilder& nib)
{
    auto bounds = platform::ui::Screen::main().bounds();
    double width = bounds.width();
    auto root = nib.topLevel(std::make_shared<View>(bounds));
    nib.outlet("background", added(root, std::make_shared<View>(bounds)));
    nib.outlet("headerBackground", added(root, std::make_shared<View>(Rect { 0, 0, width, kHeaderBottom })));

    auto bar = nib.custom("NavigationBar", { 0, 0, width, kBarHeight });
    root->addSubview(bar);
    nib.outlet("navigationBar", bar);

    nib.outlet("textFieldBackground", added(root, std::make_shared<View>(Rect { 10, 72, width - 20, 40 })));
    auto field = added(root, std::make_shared<platform::ui::TextField>(Rect { 20, 72, width - 70, 40 }));
    field->setFont(Font::named("OpenSans-Regular", 16).value());
    field->setAutocorrectionType(platform::ui::AutocorrectionType::No);
    nib.outlet("searchTextField", field);
    auto spinner = nib.custom("LoadingView", { width - 42, 82, 20, 20 });
    spinner->setHidden(true);
    root->addSubview(spinner);
    nib.outlet("loadingView", spinner);

    nib.outlet("divider", added(root, std::make_shared<View>(Rect { 0, kHeaderBottom, width, 1 })));
    auto table = added(root,
        std::make_shared<platform::ui::TableView>(
            Rect { 0, kHeaderBottom + 1, width, bounds.height() - 121 }));
    table->setRowHeight(kRowHeight);
    nib.outlet("searchItemsTableView", table);
}

void buildEmptySearchResultsView(NibBuilder& nib)
{
    double width = screenWidth();
    auto root = nib.topLevel(std::make_shared<View>(Rect { 0, 0, width, 200 }));
    auto background = added(root, std::make_shared<View>(Rect { 0, 0, width, 200 }));
    nib.outlet("view", background);
    auto text = added(root, label({ 20, 40, width - 40, 44 }, 15));
    text->setTextAlignment(platform::ui::TextAlignment::Center);
    text->setNumberOfLines(2);
    nib.outlet("label", text);
}

void buildSearchTermTableCell(NibBuilder& nib)
{
    double width = screenWidth();
    auto root = nib.topLevel(std::make_shared<View>(Rect { 0, 0, width, kRowHeight }));
    nib.outlet("image", added(root, std::make_shared<ImageView>(Rect { 12, 7, 30, 30 })));
    nib.outlet("searchTermLabel", added(root, label({ 52, 0, width - 96, kRowHeight }, 16)));
    nib.outlet("arrowImageView", added(root, std::make_shared<ImageView>(Rect { width - 36, 11, 22, 22 })));
}

void buildSearchStatusTableCell(NibBuilder& nib)
{
    double width = screenWidth();
    auto root = nib.topLevel(std::make_shared<View>(Rect { 0, 0, width, kRowHeight }));
    nib.outlet(
        "searchStatusLabel", added(root, label({ 52, 0, width - 64, kRowHeight }, 14, "OpenSans-Light")));
}

void buildCompaniesSearchResultsTableCell(NibBuilder& nib)
{
    double width = screenWidth();
    auto root = nib.topLevel(std::make_shared<View>(Rect { 0, 0, width, kRowHeight }));
    nib.outlet(
        "companyNameLabel", added(root, label({ 16, 0, width - 60, kRowHeight }, 15, "OpenSans-Light")));
    nib.outlet("selectIcon", added(root, std::make_shared<ImageView>(Rect { width - 36, 11, 22, 22 })));
}

void buildAddressBookContactSearchResultsTableCell(NibBuilder& nib)
{
    double width = screenWidth();
    auto root = nib.topLevel(std::make_shared<View>(Rect { 0, 0, width, kRowHeight }));
    nib.outlet("contactNameLabel", added(root, label({ 16, 3, width - 32, 20 }, 15, "OpenSans-SemiBold")));
    nib.outlet("contactEmailLabel", added(root, label({ 16, 23, width - 32, 18 }, 12, "OpenSans-Light")));
}

std::shared_ptr<SearchResultsTableCellColourScheme> sampleRowScheme()
{
    return SearchView::companySearchLightColourScheme()->tableCellColourScheme();
}

}

void registerSearchViewNibs()
{
    static std::once_flag registered;
    std::call_once(registered, [] {
        NibRegistry::registerNib("SearchView", buildSearchView);
        NibRegistry::registerNib("EmptySearchResultsView", buildEmptySearchResultsView);
        NibRegistry::registerNib("SearchTermTableCell", buildSearchTermTableCell);
        NibRegistry::registerNib("SearchStatusTableCell", buildSearchStatusTableCell);
        NibRegistry::registerNib("CompaniesSearchResultsTableCell", buildCompaniesSearchResultsTableCell);
        NibRegistry::registerNib(
            "AddressBookContactSearchResultsTableCell", buildAddressBookContactSearchResultsTableCell);

        NibRegistry::registerClass("SearchView", {}, [] { return XibViewObjcmb::create<SearchView>(); });
        NibRegistry::registerClass(
            "EditableSearchView", {}, [] { return XibViewObjcmb::create<EditableSearchView>(); });
        NibRegistry::registerClass("EmptySearchResultsView", {}, [] {
            return EmptySearchResultsView::make(
                *SearchView::contactSearchColourScheme()->emptyViewColourScheme(), "We will search.");
        });
        NibRegistry::registerClass("SearchTermTableCell", {}, [] { return SearchTermTableCell::make(); });
        NibRegistry::registerClass(
            "SearchStatusTableCell", {}, [] { return SearchStatusTableCell::make("companies"); });
        NibRegistry::registerClass("CompaniesSearchResultsTableCell", {},
            [] { return CompaniesSearchResultsTableCell::make("", nullptr, *sampleRowScheme()); });
        NibRegistry::registerClass("AddressBookContactSearchResultsTableCell", {},
            [] { return AddressBookContactSearchResultsTableCell::make("", {}, *sampleRowScheme()); });
    });
}

}
