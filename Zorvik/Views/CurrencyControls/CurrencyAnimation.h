#pragma once

#include <cstdint>
#include <memory>

namespace zorvik {

class CurrencyField;

/// Counts a money field up to a target in steps of a tenth of it, one step every 50 ms on the main queue's
/// clock, landing exactly on the target: 155 pence from 0 shows 15, 30 ... 150, then 155. It only counts
/// upward: a field at or above the target keeps its amount. It always ends: a target below 10 pence, whose
/// step would be 0, is set at the first step, and a field that has gone away stops it. The field is held
/// weakly; a pending step keeps the animation alive.
class CurrencyAnimation : public std::enable_shared_from_this<CurrencyAnimation> {
public:
    /// How far apart the steps are, in seconds.
    static constexpr double tickInterval = 0.05;

    /// An idle animation of `field` to `pence`, lasting 0.5 s.
    static std::shared_ptr<CurrencyAnimation> make(std::weak_ptr<CurrencyField> field, std::int64_t pence);

    /// Schedules the next step when the field is below the target.
    void start();

    /// The target in pence.
    std::int64_t amount() const { return m_amount; }
    /// How long a count from 0 takes, in seconds (at least one step).
    double duration() const { return m_duration; }
    void setDuration(double seconds) { m_duration = seconds; }

private:
    CurrencyAnimation() = default;

    void tick();
    std::int64_t step() const;

    std::weak_ptr<CurrencyField> m_field;
    std::int64_t m_amount { 0 };
    double m_duration { 0.5 };
};

}
