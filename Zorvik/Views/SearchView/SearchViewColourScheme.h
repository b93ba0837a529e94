#pragma once

#include "platform/ui/Color.h"

#include <memory>

namespace platform::ui {
class Image;
}

namespace zorvik {

/// Colours of a search screen's result rows; the disclosure image may be null (no image).
class SearchResultsTableCellColourScheme {
public:
    using Color = platform::ui::Color;
    using ImageRef = std::shared_ptr<const platform::ui::Image>;

    SearchResultsTableCellColourScheme(
        Color backgroundColour, ImageRef disclosureButtonImage, Color textColour)
        : m_backgroundColour(backgroundColour)
        , m_disclosureButtonImage(std::move(disclosureButtonImage))
        , m_textColour(textColour)
    {
    }

    const Color& backgroundColour() const { return m_backgroundColour; }
    void setBackgroundColour(const Color& colour) { m_backgroundColour = colour; }
    const ImageRef& disclosureButtonImage() const { return m_disclosureButtonImage; }
    void setDisclosureButtonImage(ImageRef image) { m_disclosureButtonImage = std::move(image); }
    const Color& textColour() const { return m_textColour; }
    void setTextColour(const Color& colour) { m_textColour = colour; }

private:
    Color m_backgroundColour;
    ImageRef m_disclosureButtonImage;
    Color m_textColour;
};

/// Colours and images of the typed-term row; the arrow may be null (no arrow).
class SearchTermTableCellColourScheme {
public:
    using Color = platform::ui::Color;
    using ImageRef = std::shared_ptr<const platform::ui::Image>;

    SearchTermTableCellColourScheme(
        Color backgroundColour, Color textColour, ImageRef addPersonImage, ImageRef arrow)
        : m_backgroundColour(backgroundColour)
        , m_textColour(textColour)
        , m_addPersonImage(std::move(addPersonImage))
        , m_arrow(std::move(arrow))
    {
    }

    const Color& backgroundColour() const { return m_backgroundColour; }
    void setBackgroundColour(const Color& colour) { m_backgroundColour = colour; }
    const Color& textColour() const { return m_textColour; }
    void setTextColour(const Color& colour) { m_textColour = colour; }
    const ImageRef& addPersonImage() const { return m_addPersonImage; }
    void setAddPersonImage(ImageRef image) { m_addPersonImage = std::move(image); }
    const ImageRef& arrow() const { return m_arrow; }
    void setArrow(ImageRef image) { m_arrow = std::move(image); }

private:
    Color m_backgroundColour;
    Color m_textColour;
    ImageRef m_addPersonImage;
    ImageRef m_arrow;
};

/// Background and text colour of a small piece of a search screen: the status row, or the empty-results
/// view.
class TwoColourScheme {
public:
    using Color = platform::ui::Color;

    TwoColourScheme(Color backgroundColour, Color textColour)
        : m_backgroundColour(backgroundColour)
        , m_textColour(textColour)
    {
    }

    const Color& backgroundColour() const { return m_backgroundColour; }
    void setBackgroundColour(const Color& colour) { m_backgroundColour = colour; }
    const Color& textColour() const { return m_textColour; }
    void setTextColour(const Color& colour) { m_textColour = colour; }

private:
    Color m_backgroundColour;
    Color m_textColour;
};

/// Colours of the status row ("Searching companies.", "No matching contacts found.").
class SearchStatusTableCellColourScheme : public TwoColourScheme {
public:
    using TwoColourScheme::TwoColourScheme;
};

/// Colours of the view shown behind a table without rows.
class EmptySearchResultsViewColourScheme : public TwoColourScheme {
public:
    using TwoColourScheme::TwoColourScheme;
};

/// How a whole search screen looks: the screen, its bar, header, field and table, and the schemes of its
/// rows and empty view. Schemes are shared values: the view, its data source and its rows hold the same
/// objects. SearchView's presets make new ones on every call.
class SearchViewColourScheme {
public:
    using Color = platform::ui::Color;
    using ImageRef = std::shared_ptr<const platform::ui::Image>;

    /// The ten colours and the back image are given in the order of the getters below, then the four row
    /// and view schemes.
    SearchViewColourScheme(Color backgroundColour, Color navigationBarTextColour, ImageRef backButtonImage,
        Color dividerColour, Color tableViewDividerColour, Color tableViewColour,
        Color searchTextPlaceholderColour, Color searchTextColour, Color headerColour,
        Color textBackgroundColour, std::shared_ptr<SearchResultsTableCellColourScheme> tableCellColourScheme,
        std::shared_ptr<EmptySearchResultsViewColourScheme> emptyViewColourScheme,
        std::shared_ptr<SearchTermTableCellColourScheme> searchTermColourScheme,
        std::shared_ptr<SearchStatusTableCellColourScheme> searchStatusColourScheme);

    const Color& backgroundColour() const { return m_backgroundColour; }
    void setBackgroundColour(const Color& colour) { m_backgroundColour = colour; }
    const Color& navigationBarTextColour() const { return m_navigationBarTextColour; }
    void setNavigationBarTextColour(const Color& colour) { m_navigationBarTextColour = colour; }
    const ImageRef& backButtonImage() const { return m_backButtonImage; }
    void setBackButtonImage(ImageRef image) { m_backButtonImage = std::move(image); }
    const Color& dividerColour() const { return m_dividerColour; }
    void setDividerColour(const Color& colour) { m_dividerColour = colour; }
    const Color& tableViewDividerColour() const { return m_tableViewDividerColour; }
    void setTableViewDividerColour(const Color& colour) { m_tableViewDividerColour = colour; }
    const Color& tableViewColour() const { return m_tableViewColour; }
    void setTableViewColour(const Color& colour) { m_tableViewColour = colour; }
    const Color& searchTextPlaceholderColour() const { return m_searchTextPlaceholderColour; }
    void setSearchTextPlaceholderColour(const Color& colour) { m_searchTextPlaceholderColour = colour; }
    const Color& searchTextColour() const { return m_searchTextColour; }
    void setSearchTextColour(const Color& colour) { m_searchTextColour = colour; }
    const Color& headerColour() const { return m_headerColour; }
    void setHeaderColour(const Color& colour) { m_headerColour = colour; }
    const Color& textBackgroundColour() const { return m_textBackgroundColour; }
    void setTextBackgroundColour(const Color& colour) { m_textBackgroundColour = colour; }

    const std::shared_ptr<SearchResultsTableCellColourScheme>& tableCellColourScheme() const
    {
        return m_tableCellColourScheme;
    }
    void setTableCellColourScheme(std::shared_ptr<SearchResultsTableCellColourScheme> scheme)
    {
        m_tableCellColourScheme = std::move(scheme);
    }
    const std::shared_ptr<EmptySearchResultsViewColourScheme>& emptyViewColourScheme() const
    {
        return m_emptyViewColourScheme;
    }
    void setEmptyViewColourScheme(std::shared_ptr<EmptySearchResultsViewColourScheme> scheme)
    {
        m_emptyViewColourScheme = std::move(scheme);
    }
    const std::shared_ptr<SearchTermTableCellColourScheme>& searchTermColourScheme() const
    {
        return m_searchTermColourScheme;
    }
    void setSearchTermColourScheme(std::shared_ptr<SearchTermTableCellColourScheme> scheme)
    {
        m_searchTermColourScheme = std::move(scheme);
    }
    const std::shared_ptr<SearchStatusTableCellColourScheme>& searchStatusColourScheme() const
    {
        return m_searchStatusColourScheme;
    }
    void setSearchStatusColourScheme(std::shared_ptr<SearchStatusTableCellColourScheme> scheme)
    {
        m_searchStatusColourScheme = std::move(scheme);
    }

private:
    Color m_backgroundColour;
    Color m_navigationBarTextColour;
    ImageRef m_backButtonImage;
    Color m_dividerColour;
    Color m_tableViewDividerColour;
    Color m_tableViewColour;
    Color m_searchTextPlaceholderColour;
    Color m_searchTextColour;
    Color m_headerColour;
    Color m_textBackgroundColour;
    std::shared_ptr<SearchResultsTableCellColourScheme> m_tableCellColourScheme;
    std::shared_ptr<EmptySearchResultsViewColourScheme> m_emptyViewColourScheme;
    std::shared_ptr<SearchTermTableCellColourScheme> m_searchTermColourScheme;
    std::shared_ptr<SearchStatusTableCellColourScheme> m_searchStatusColourScheme;
};

}
