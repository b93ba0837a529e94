#include "Zorvik/Views/SearchView/SearchViewColourScheme.h"

#include "Zorvik/Views/Colours/Colours.h"
#include "Zorvik/Views/SearchView/SearchView.h"
#include "platform/ui/Image.h"

namespace zorvik {

using platform::ui::Color;
using platform::ui::Image;

SearchViewColourScheme::SearchViewColourScheme(Color backgroundColour, Color navigationBarTextColour,
    ImageRef backButtonImage, Color dividerColour, Color tableViewDividerColour, Color tableViewColour,
    Color searchTextPlaceholderColour, Color searchTextColour, Color headerColour, Color textBackgroundColour,
    std::shared_ptr<SearchResultsTableCellColourScheme> tableCellColourScheme,
    std::shared_ptr<EmptySearchResultsViewColourScheme> emptyViewColourScheme,
    std::shared_ptr<SearchTermTableCellColourScheme> searchTermColourScheme,
    std::shared_ptr<SearchStatusTableCellColourScheme> searchStatusColourScheme)
    : m_backgroundColour(backgroundColour)
    , m_navigationBarTextColour(navigationBarTextColour)
    , m_backButtonImage(std::move(backButtonImage))
    , m_dividerColour(dividerColour)
    , m_tableViewDividerColour(tableViewDividerColour)
    , m_tableViewColour(tableViewColour)
    , m_searchTextPlaceholderColour(searchTextPlaceholderColour)
    , m_searchTextColour(searchTextColour)
    , m_headerColour(headerColour)
    , m_textBackgroundColour(textBackgroundColour)
    , m_tableCellColourScheme(std::move(tableCellColourScheme))
    , m_emptyViewColourScheme(std::move(emptyViewColourScheme))
    , m_searchTermColourScheme(std::move(searchTermColourScheme))
    , m_searchStatusColourScheme(std::move(searchStatusColourScheme))
{
}

namespace {

// Black with an alpha: white level 0 with that alpha.
constexpr Color black(double alpha)
{
    return Color::fromWhite(0, alpha);
}

// The light and contact presets share everything but the rows' images.
std::shared_ptr<SearchViewColourScheme> lightScheme(SearchViewColourScheme::ImageRef disclosure,
    SearchViewColourScheme::ImageRef addImage, SearchViewColourScheme::ImageRef arrow)
{
    auto grey = Color::fromBytes(211, 211, 211);
    return std::make_shared<SearchViewColourScheme>(Color::clear(), Colours::teal(),
        Image::named("BtnTealLessThan"), black(0.4), black(0.4), Color::white(), grey, Color::black(),
        Color::fromBytes(241, 243, 243), Color::white(),
        std::make_shared<SearchResultsTableCellColourScheme>(Color::white(), disclosure, Color::black()),
        std::make_shared<EmptySearchResultsViewColourScheme>(Color::white(), Color::fromBytes(85, 90, 96)),
        std::make_shared<SearchTermTableCellColourScheme>(Color::white(), Color::black(), addImage, arrow),
        std::make_shared<SearchStatusTableCellColourScheme>(Color::white(), Color::black()));
}

}

std::shared_ptr<SearchViewColourScheme> SearchView::companySearchDarkColourScheme()
{
    return std::make_shared<SearchViewColourScheme>(Color::clear(), Color::white(),
        Image::named("BtnLessThanWhite"), Color::white(), Color::clear(), Color::clear(),
        Color::fromWhite(1, 0.6), Color::white(), Color::clear(), black(0.3),
        std::make_shared<SearchResultsTableCellColourScheme>(
            black(0.5), Image::named("BtnGreaterThanWhite"), Color::white()),
        std::make_shared<EmptySearchResultsViewColourScheme>(Color::clear(), Color::white()),
        std::make_shared<SearchTermTableCellColourScheme>(
            black(0.3), Color::white(), Image::named("AddPersonWhite"), Image::named("BtnGreaterThanWhite")),
        std::make_shared<SearchStatusTableCellColourScheme>(black(0.3), Color::white()));
}

std::shared_ptr<SearchViewColourScheme> SearchView::companySearchLightColourScheme()
{
    return lightScheme(Image::named("BtnBlackGreaterThan"), Image::named("AddPersonBlack"),
        Image::named("BtnBlackGreaterThan"));
}

std::shared_ptr<SearchViewColourScheme> SearchView::contactSearchColourScheme()
{
    return lightScheme(nullptr, Image::named("IconAddEmail"), nullptr);
}

}
