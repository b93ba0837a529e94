#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace platform::ui {

class Image;

/// How a bar button item's title is set; the numbers are the platform's.
enum class BarButtonItemStyle { Plain = 0, Bordered = 1, Done = 2 };

/// The ready-made bar items; the numbers are the platform's.
enum class BarButtonSystemItem {
    Done = 0,
    Cancel = 1,
    Edit = 2,
    Save = 3,
    Add = 4,
    FlexibleSpace = 5,
    FixedSpace = 6
};

/// A button (or a space) on a toolbar. It is not a view: the toolbar shows it.
class BarButtonItem : public std::enable_shared_from_this<BarButtonItem> {
public:
    using Action = std::function<void(BarButtonItem& sender)>;

    /// An item with a title, a style and an action that lives as long as the item.
    BarButtonItem(const std::optional<std::string>& title, BarButtonItemStyle style, Action action = {});
    /// A ready-made item: the space items stretch (flexible) or keep a width (fixed) and do nothing.
    explicit BarButtonItem(BarButtonSystemItem systemItem, Action action = {});

    /// A flexible space, which pushes the items after it to the far end.
    static std::shared_ptr<BarButtonItem> flexibleSpace();
    /// A space of a fixed width.
    static std::shared_ptr<BarButtonItem> fixedSpace(double width);

    /// The title, or nothing.
    const std::optional<std::string>& title() const { return m_title; }
    /// Sets the title.
    void setTitle(const std::optional<std::string>& title) { m_title = title; }
    /// The style.
    BarButtonItemStyle style() const { return m_style; }
    /// Sets the style.
    void setStyle(BarButtonItemStyle style) { m_style = style; }
    /// The ready-made kind, or nothing for a custom item.
    std::optional<BarButtonSystemItem> systemItem() const { return m_systemItem; }
    /// Whether the item is a flexible or fixed space.
    bool isSpace() const;
    /// The image, or null.
    const std::shared_ptr<const Image>& image() const { return m_image; }
    /// Sets the image.
    void setImage(const std::shared_ptr<const Image>& image) { m_image = image; }
    /// The width of a fixed space (0 otherwise unless set).
    double width() const { return m_width; }
    /// Sets the width.
    void setWidth(double width) { m_width = width; }
    /// Whether the item reacts to taps.
    bool isEnabled() const { return m_enabled; }
    /// Enables or disables the item.
    void setEnabled(bool enabled) { m_enabled = enabled; }

    /// Sets the action, for as long as the item lives.
    void setAction(Action action);
    /// Sets the action, for as long as `target` lives (held weakly).
    void setTarget(const std::weak_ptr<const void>& target, Action action);
    /// Whether the item has an action that can still run.
    bool hasAction() const;
    /// Runs the action as a tap does: only when the item is enabled, not a space and has a live action.
    /// Returns whether it ran.
    bool perform();

    /// How the item shows in a toolbar's text dump: "Done", [flexible space], [fixed space 8], [disabled].
    std::string describe() const;

private:
    std::optional<std::string> m_title;
    BarButtonItemStyle m_style { BarButtonItemStyle::Plain };
    std::optional<BarButtonSystemItem> m_systemItem;
    std::shared_ptr<const Image> m_image;
    double m_width { 0 };
    bool m_enabled { true };
    Action m_action;
    bool m_hasTarget { false };
    std::weak_ptr<const void> m_target;
};

}
