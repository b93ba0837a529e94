#include "Zorvik/Views/NavigationBar/NavigationBarTheme.h"

#include "Zorvik/Views/NavigationBar/NavigationBar.h"
#include "platform/ui/Image.h"

namespace zorvik {

NavigationBarTheme::NavigationBarTheme(const platform::ui::Color& backgroundColour,
    const platform::ui::Color& titleColour, const platform::ui::Color& dividerColor,
    std::shared_ptr<const platform::ui::Image> backImage,
    std::optional<platform::ui::AttributedString> backText,
    std::shared_ptr<const platform::ui::Image> positiveImage,
    std::optional<platform::ui::AttributedString> positiveText)
    : m_backgroundColour(backgroundColour)
    , m_titleColour(titleColour)
    , m_dividerColour(dividerColor)
    , m_backImage(std::move(backImage))
    , m_backText(std::move(backText))
    , m_positiveImage(std::move(positiveImage))
    , m_positiveText(std::move(positiveText))
{
}

void NavigationBarTheme::apply(NavigationBar& bar) const
{
    bar.setBackgroundColor(m_backgroundColour);
    bar.setTitleColour(m_titleColour);
    bar.setDividerColour(m_dividerColour);
    if (m_backImage)
        bar.setNegativeButtonImage(m_backImage);
    else
        bar.setNegativeButtonText(m_backText);
    if (m_positiveImage)
        bar.setPositiveButtonImage(m_positiveImage);
    else if (m_positiveText)
        bar.setPositiveButtonText(m_positiveText);
    else
        bar.setPositiveButtonHidden(true);
}

}
