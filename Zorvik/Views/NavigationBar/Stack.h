#pragma once

#include <utility>
#include <vector>

namespace zorvik {

/// Items of one type in last-in, first-out order.
template<class T> class Stack {
public:
    /// Puts the item on top.
    void push(T item) { m_stackItems.push_back(std::move(item)); }
    /// Takes the top item off and returns it; an empty stack gives a default-made T.
    T pop()
    {
        if (m_stackItems.empty())
            return T {};
        T item = std::move(m_stackItems.back());
        m_stackItems.pop_back();
        return item;
    }
    /// The items, bottom first.
    const std::vector<T>& stackItems() const { return m_stackItems; }

private:
    std::vector<T> m_stackItems;
};

}
