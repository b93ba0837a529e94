#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace platform::ui {
class Control;
}

namespace zorvik {

/// The second field order, beside TabOrderObjc: the same focus walk and Return-key labels, with these
/// differences. It also remembers the field just before the current one ("last") and ignores a Return
/// from that field; a field without text counts as filled for clever complete; a field that is not in its
/// list is a programming error that stops the program.
class TabOrder : public std::enable_shared_from_this<TabOrder> {
public:
    using Field = std::shared_ptr<platform::ui::Control>;
    /// Whether next() may stop at a field; empty accepts every field.
    using AcceptsEditing = std::function<bool(platform::ui::Control& field)>;
    /// Told when a field of the list gains focus; empty is skipped.
    using BeganEditing = std::function<void(platform::ui::Control& field)>;

    /// An order over `responders`, registered on each of them.
    static std::shared_ptr<TabOrder> make(std::vector<Field> responders, bool cleverComplete,
        AcceptsEditing acceptsEditing = {}, BeganEditing beganEditing = {});

    /// Resigns the current field and focuses the next accepted one, returning it; null (clearing the
    /// current and last fields) when there is none.
    Field next();
    /// Whether next() may stop at `field`.
    bool isNext(platform::ui::Control& field) const;
    /// A field of the list gained focus.
    void textFieldBeganEditing(platform::ui::Control& field);
    /// Return was pressed in a field; ignored for the field before the current one.
    void textFieldFinishedEditing(platform::ui::Control& field);
    /// With clever complete, whether every field but the current one holds text (or has none at all).
    bool isFormNearlyComplete() const;

    /// The fields, in focus order.
    const std::vector<Field>& responders() const { return m_responders; }
    /// The field that has the focus according to this order, or null.
    Field current() const;
    /// The field just before the current one, or null.
    Field last() const;

private:
    TabOrder() = default;

    std::size_t indexOf(const platform::ui::Control& field) const;
    void setCurrent(std::optional<std::size_t> index);

    std::vector<Field> m_responders;
    bool m_cleverComplete { false };
    AcceptsEditing m_acceptsEditing;
    BeganEditing m_beganEditing;
    std::optional<std::size_t> m_current;
    std::optional<std::size_t> m_last;
};

}
