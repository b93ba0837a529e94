#pragma once

#include "Zorvik/Views/XibViews/XibViewObjcmb.h"
#include "platform/ui/Color.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace platform::ui {
class Button;
class Image;
class ImageView;
class Label;
}

namespace zorvik {

/// One row of a MenuView: an icon, a title, up to two small teal detail texts, an optional arrow, and a
/// button under the whole row that runs the row's handler. Laid out by the nib "MenuItem"; a tap on the
/// row's title reaches its button.
class MenuItem : public XibViewObjcmb {
public:
    /// What the row does when tapped.
    using ActionHandler = std::function<void()>;

    MenuItem();

    /// A row with these contents; the details may be absent, and the arrow hidden.
    static std::shared_ptr<MenuItem> make(const std::shared_ptr<const platform::ui::Image>& itemIcon,
        const std::string& itemDescription, const std::optional<std::string>& itemBottomExtraDetail,
        const std::optional<std::string>& itemTopExtraDetail, bool isHiddenArrow,
        ActionHandler actionHandler);

    std::string className() const override { return "MenuItem"; }

    /// Runs the handler.
    void action();

    void updateItemTopExtraDetailWithText(const std::optional<std::string>& text);
    void updateItemBottomExtraDetailWithText(const std::optional<std::string>& text);
    /// Sets the top detail's text colour and its alpha.
    void updateItemTopExtraDetailWithColour(const platform::ui::Color& colour, double alpha);
    /// Sets the bottom detail's text colour and its alpha.
    void updateItemBottomExtraDetailWithColour(const platform::ui::Color& colour, double alpha);
    void updateItemTopExtraDetailWithText(
        const std::optional<std::string>& text, const platform::ui::Color& colour, double alpha);
    void updateItemBottomExtraDetailWithText(
        const std::optional<std::string>& text, const platform::ui::Color& colour, double alpha);
    /// Whether the top detail has no text.
    bool isEmptyTextFieldForTopExtraDetail() const;
    /// Whether the bottom detail has no text.
    bool isEmptyTextFieldForBottomExtraDetail() const;

    const std::shared_ptr<platform::ui::ImageView>& itemIcon() const { return m_itemIcon; }
    const std::shared_ptr<platform::ui::Label>& itemDescription() const { return m_itemDescription; }
    const std::shared_ptr<platform::ui::Label>& itemTopExtraDetail() const { return m_itemTopExtraDetail; }
    const std::shared_ptr<platform::ui::Label>& itemBottomExtraDetail() const
    {
        return m_itemBottomExtraDetail;
    }
    const std::shared_ptr<platform::ui::ImageView>& arrowImageView() const { return m_arrowImageView; }
    const std::shared_ptr<platform::ui::Button>& actionButton() const { return m_actionButton; }

private:
    void setupLabels();

    std::shared_ptr<platform::ui::ImageView> m_itemIcon;
    std::shared_ptr<platform::ui::Label> m_itemDescription;
    std::shared_ptr<platform::ui::Label> m_itemTopExtraDetail;
    std::shared_ptr<platform::ui::Label> m_itemBottomExtraDetail;
    std::shared_ptr<platform::ui::ImageView> m_arrowImageView;
    std::shared_ptr<platform::ui::Button> m_actionButton;
    ActionHandler m_actionHandler;
};

}
