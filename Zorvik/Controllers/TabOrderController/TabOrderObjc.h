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

/// Walks the keyboard focus through a form's fields. When a field of its list gains focus its Return key
/// reads "Done" (it is the last field, or with clever complete every other field holds text) or "Next";
/// Return moves the focus to the next field in the list that the screen accepts, or closes the keyboard when
/// there is none.
///
/// A field is a text field, or a control that stands for one (TextFieldHolder). The order keeps its fields
/// and listens to their begin-editing and Return (editing-did-end-on-exit) events; the fields refer to it
/// weakly, so the screen keeps it.
class TabOrderObjc : public std::enable_shared_from_this<TabOrderObjc> {
public:
    using Field = std::shared_ptr<platform::ui::Control>;
    /// Whether next() may stop at a field.
    using AcceptsEditing = std::function<bool(platform::ui::Control& field)>;
    /// Told when a field of the list gains focus.
    using BeganEditing = std::function<void(platform::ui::Control& field)>;

    /// An order over `responders`, registered on each of them. An empty `acceptsEditing` accepts every
    /// field; an empty `beganEditing` does nothing.
    static std::shared_ptr<TabOrderObjc> make(std::vector<Field> responders, bool cleverComplete,
        AcceptsEditing acceptsEditing = {}, BeganEditing beganEditing = {});

    /// Resigns the current field, then focuses the first field after it that is accepted and returns it;
    /// returns null, leaving no current field, when there is none (also when there is no current field).
    Field next();
    /// Whether next() may stop at `field`: the accept callback's answer.
    bool isNext(platform::ui::Control& field) const;
    /// A field of the list gained focus: the begin callback, then it becomes current and its Return key is
    /// labelled Done or Next.
    void textFieldBeganEditing(platform::ui::Control& field);
    /// Return was pressed in a field: next(), and when there is no next field the field resigns, which
    /// closes the keyboard.
    void textFieldFinishedEditing(platform::ui::Control& field);
    /// With clever complete, whether every field but the current one holds text; false without it.
    bool isFormNearlyComplete() const;

    /// The fields, in focus order.
    const std::vector<Field>& responders() const { return m_responders; }
    /// Whether the early "Done" label is on.
    bool cleverComplete() const { return m_cleverComplete; }
    /// The field that has the focus according to this order, or null.
    Field current() const;

private:
    TabOrderObjc() = default;

    std::optional<std::size_t> indexOf(const platform::ui::Control& field) const;

    std::vector<Field> m_responders;
    bool m_cleverComplete { false };
    AcceptsEditing m_acceptsEditing;
    BeganEditing m_beganEditing;
    std::optional<std::size_t> m_current;
};

}
