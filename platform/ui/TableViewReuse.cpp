#include "platform/ui/TableView.h"

#include "platform/ui/NibRegistry.h"

namespace platform::ui {

std::shared_ptr<TableViewCell> TableView::makeCell(const IndexPath& indexPath)
{
    auto source = dataSource();
    auto cell = source ? source->cellForRow(*this, indexPath) : nullptr;
    if (!cell) {
        throw std::logic_error(
            "the table view's data source must return a cell from cellForRow (it gave none for row "
            + toString(indexPath) + ")");
    }
    if (auto pool = m_reusePool.find(cell->reuseIdentifier()); pool != m_reusePool.end())
        std::erase(pool->second, cell);
    return cell;
}

void TableView::enqueue(const std::shared_ptr<TableViewCell>& cell)
{
    if (cell->superview().get() == this)
        cell->removeFromSuperview();
    if (!cell->reuseIdentifier().empty())
        m_reusePool[cell->reuseIdentifier()].push_back(cell);
}

void TableView::recycleAll()
{
    for (auto& [indexPath, cell] : m_visible)
        enqueue(cell);
    m_visible.clear();
}

void TableView::registerNib(const std::string& nibName, const std::string& reuseIdentifier)
{
    m_registrations[reuseIdentifier] = { nibName, nullptr };
}

void TableView::registerClass(const std::string& reuseIdentifier, CellFactory factory)
{
    m_registrations[reuseIdentifier] = { {}, std::move(factory) };
}

std::shared_ptr<TableViewCell> TableView::dequeueReusableCell(const std::string& reuseIdentifier)
{
    if (auto pool = m_reusePool.find(reuseIdentifier); pool != m_reusePool.end() && !pool->second.empty()) {
        auto cell = pool->second.back();
        pool->second.pop_back();
        cell->prepareForReuse();
        return cell;
    }
    auto registration = m_registrations.find(reuseIdentifier);
    if (registration == m_registrations.end())
        return nullptr;
    std::shared_ptr<TableViewCell> cell;
    if (registration->second.factory) {
        cell = registration->second.factory(reuseIdentifier);
    } else {
        auto views = NibRegistry::load(registration->second.nibName, nullptr);
        cell = std::dynamic_pointer_cast<TableViewCell>(views.front());
        if (!cell)
            throw NibError("the nib " + registration->second.nibName + " registered for the reuse identifier "
                + reuseIdentifier + " does not start with a table view cell");
    }
    if (!cell)
        throw std::logic_error(
            "the cell factory for the reuse identifier " + reuseIdentifier + " made no cell");
    cell->setReuseIdentifier(reuseIdentifier);
    return cell;
}

std::shared_ptr<TableViewCell> TableView::dequeueReusableCell(
    const std::string& reuseIdentifier, const IndexPath& indexPath)
{
    auto cell = dequeueReusableCell(reuseIdentifier);
    if (!cell)
        throw std::logic_error("unable to dequeue a cell with identifier " + reuseIdentifier + " for row "
            + toString(indexPath) + " - must register a nib or a class for the identifier");
    return cell;
}

std::size_t TableView::reusableCellCount() const
{
    std::size_t count = 0;
    for (auto& [identifier, cells] : m_reusePool)
        count += cells.size();
    return count;
}

}
