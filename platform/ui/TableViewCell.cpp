#include "platform/ui/TableViewCell.h"

#include "platform/ui/Label.h"
#include "platform/ui/Screen.h"
#include "platform/ui/TableView.h"

#include <algorithm>

namespace platform::ui {

TableViewCell::TableViewCell(TableViewCellStyle style, std::string reuseIdentifier)
    : View(Rect(0, 0, Screen::main().bounds().width(), TableView::defaultRowHeight))
    , m_style(style)
    , m_reuseIdentifier(std::move(reuseIdentifier))
    , m_contentView(std::make_shared<View>(bounds()))
{
    setBackgroundColor(Color::white());
}

void TableViewCell::installContentView()
{
    if (m_contentView->superview().get() != this)
        insertSubviewAt(
            m_contentView, m_backgroundView && m_backgroundView->superview().get() == this ? 1 : 0);
}

const std::shared_ptr<View>& TableViewCell::contentView()
{
    installContentView();
    return m_contentView;
}

void TableViewCell::didMoveToSuperview()
{
    if (superview())
        installContentView();
}

std::shared_ptr<Label> TableViewCell::textLabel()
{
    if (!m_textLabel) {
        m_textLabel = std::make_shared<Label>();
        contentView()->addSubview(m_textLabel);
        setNeedsLayout();
    }
    return m_textLabel;
}

std::shared_ptr<Label> TableViewCell::detailTextLabel()
{
    if (m_style == TableViewCellStyle::Default)
        return nullptr;
    if (!m_detailTextLabel) {
        m_detailTextLabel = std::make_shared<Label>();
        m_detailTextLabel->setFont(Font::systemFont(m_style == TableViewCellStyle::Subtitle ? 12 : 17));
        m_detailTextLabel->setTextColor(Color::gray());
        if (m_style == TableViewCellStyle::Value1)
            m_detailTextLabel->setTextAlignment(TextAlignment::Right);
        contentView()->addSubview(m_detailTextLabel);
        setNeedsLayout();
    }
    return m_detailTextLabel;
}

void TableViewCell::setBackgroundView(const std::shared_ptr<View>& view)
{
    if (m_backgroundView && m_backgroundView->superview().get() == this)
        m_backgroundView->removeFromSuperview();
    m_backgroundView = view;
    if (view) {
        view->setFrame(bounds());
        insertSubviewAt(view, 0);
    }
    installContentView();
}

void TableViewCell::setSelected(bool selected, bool)
{
    m_selected = selected;
    setNeedsDisplay();
}

void TableViewCell::setHighlighted(bool highlighted, bool)
{
    m_highlighted = highlighted;
    setNeedsDisplay();
}

void TableViewCell::setLayoutMargins(const EdgeInsets& margins)
{
    m_layoutMargins = margins;
    setNeedsLayout();
}

EdgeInsets TableViewCell::effectiveMargins() const
{
    if (m_preservesSuperviewMargins) {
        if (auto table = std::dynamic_pointer_cast<TableView>(superview()))
            return table->layoutMargins();
    }
    return m_layoutMargins;
}

void TableViewCell::prepareForReuse()
{
    setSelected(false, false);
    setHighlighted(false, false);
}

void TableViewCell::layoutSubviews()
{
    installContentView();
    if (m_backgroundView)
        m_backgroundView->setFrame(bounds());
    m_contentView->setFrame(bounds());
    Rect inside = bounds().inset(effectiveMargins());
    bool twoLines = m_style == TableViewCellStyle::Subtitle && m_detailTextLabel;
    if (m_textLabel) {
        double height = twoLines ? m_textLabel->sizeThatFits({ inside.width(), 0 }).height : inside.height();
        m_textLabel->setFrame({ inside.x(), inside.y(), inside.width(), height });
    }
    if (m_detailTextLabel) {
        if (twoLines) {
            double top = m_textLabel ? m_textLabel->frame().maxY() : inside.y();
            m_detailTextLabel->setFrame(
                { inside.x(), top, inside.width(), std::max(0.0, inside.maxY() - top) });
        } else {
            m_detailTextLabel->setFrame(inside);
        }
    }
}

Size TableViewCell::sizeThatFits(Size size) const
{
    double width = size.width > 0 ? size.width : bounds().width();
    EdgeInsets margins = effectiveMargins();
    double textWidth = std::max(0.0, width - margins.left - margins.right);
    double labels = 0;
    for (auto& label : { m_textLabel, m_detailTextLabel }) {
        if (label && !label->isHidden() && label->text() && !label->text()->empty())
            labels += label->sizeThatFits({ textWidth, 0 }).height;
    }
    double content = 0;
    for (auto& subview : m_contentView->subviews()) {
        if (subview != m_textLabel && subview != m_detailTextLabel && !subview->isHidden())
            content = std::max(content, subview->frame().maxY());
    }
    double height = std::max(labels > 0 ? labels + margins.top + margins.bottom : 0.0, content);
    return { width, height > 0 ? height : bounds().height() };
}

std::string TableViewCell::describe() const
{
    std::string text = View::describe();
    if (!m_reuseIdentifier.empty())
        text += " reuse \"" + m_reuseIdentifier + "\"";
    if (m_selected)
        text += " [selected]";
    return text;
}

}
