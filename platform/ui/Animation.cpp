#include "platform/ui/Animation.h"

#include "platform/foundation/Clock.h"
#include "platform/foundation/MainQueue.h"
#include "platform/ui/Constraint.h"
#include "platform/ui/View.h"
#include "platform/ui/Window.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <utility>
#include <variant>
#include <vector>

namespace platform::ui {

namespace {

using foundation::mainQueue;

enum class Property { Frame, Alpha, BackgroundColor, TransformScale, Constant };

using AnimatedValue = std::variant<Rect, double, Color, Size>;
using Key = std::pair<const void*, Property>;

struct Track {
    std::weak_ptr<const void> object;
    std::uint64_t animation { 0 };
    AnimatedValue from;
    AnimatedValue to;
};

struct TransactionState {
    std::size_t pending { 0 };
    bool committed { false };
    std::function<void()> completion;
};

/// Held by the main-queue task that ends an animation. When the queue drops that task without running it
/// (a reset of the queue), the ticket goes with it and takes the animation along, so that no animation waits
/// for an end that will never come.
class EndTicket {
public:
    explicit EndTicket(std::uint64_t id)
        : m_id(id)
    {
    }
    ~EndTicket();

    EndTicket(const EndTicket&) = delete;
    EndTicket& operator=(const EndTicket&) = delete;

private:
    std::uint64_t m_id;
};

struct Running {
    double begin { 0 };
    double duration { 0 };
    AnimationOptions options;
    Animation::Completion completion;
    foundation::MainQueue::TaskId task { 0 };
    bool scheduled { false };
    std::weak_ptr<EndTicket> ticket;
    std::vector<Key> keys;
    std::vector<std::shared_ptr<TransactionState>> transactions;
};

struct Snapshot {
    std::shared_ptr<View> view;
    Rect frame;
    double alpha;
    Color backgroundColor;
    Size transformScale;
};

struct State {
    std::uint64_t nextId { 0 };
    std::vector<std::uint64_t> open;
    std::map<std::uint64_t, Running> running;
    std::map<Key, Track> tracks;
    std::vector<std::shared_ptr<TransactionState>> transactions;
};

State& state()
{
    static State instance;
    return instance;
}

double now()
{
    return mainQueue().clock().steadySeconds();
}

double ease(AnimationCurve curve, double t)
{
    switch (curve) {
    case AnimationCurve::EaseInOut:
        return t * t * (3 - 2 * t);
    case AnimationCurve::EaseIn:
        return t * t;
    case AnimationCurve::EaseOut:
        return t * (2 - t);
    case AnimationCurve::Linear:
        return t;
    }
    return t;
}

double mix(double a, double b, double t)
{
    return a + (b - a) * t;
}

AnimatedValue interpolate(const AnimatedValue& from, const AnimatedValue& to, double t)
{
    if (auto* a = std::get_if<Rect>(&from)) {
        auto& b = std::get<Rect>(to);
        return Rect { mix(a->x(), b.x(), t), mix(a->y(), b.y(), t), mix(a->width(), b.width(), t),
            mix(a->height(), b.height(), t) };
    }
    if (auto* a = std::get_if<double>(&from))
        return mix(*a, std::get<double>(to), t);
    if (auto* a = std::get_if<Size>(&from)) {
        auto& b = std::get<Size>(to);
        return Size { mix(a->width, b.width, t), mix(a->height, b.height, t) };
    }
    auto& a = std::get<Color>(from);
    auto& b = std::get<Color>(to);
    return Color { mix(a.redComponent(), b.redComponent(), t), mix(a.greenComponent(), b.greenComponent(), t),
        mix(a.blueComponent(), b.blueComponent(), t), mix(a.alphaComponent(), b.alphaComponent(), t) };
}

// The live track of a property, or null (dropping a track whose object or animation is gone).
const Track* liveTrack(const Key& key)
{
    auto& s = state();
    auto found = s.tracks.find(key);
    if (found == s.tracks.end())
        return nullptr;
    if (found->second.object.expired() || !s.running.contains(found->second.animation)) {
        s.tracks.erase(found);
        return nullptr;
    }
    return &found->second;
}

std::optional<AnimatedValue> presentation(const Key& key)
{
    const Track* track = liveTrack(key);
    if (!track)
        return std::nullopt;
    const Running& running = state().running.at(track->animation);
    double t = running.duration > 0 ? (now() - running.begin) / running.duration
                                    : (now() >= running.begin ? 1 : 0);
    return interpolate(track->from, track->to, ease(running.options.curve, std::clamp(t, 0.0, 1.0)));
}

// Stops showing as moving the properties that animation `id` runs.
void dropTracks(std::uint64_t id, const std::vector<Key>& keys)
{
    auto& s = state();
    for (const auto& key : keys) {
        auto track = s.tracks.find(key);
        if (track != s.tracks.end() && track->second.animation == id)
            s.tracks.erase(track);
    }
}

// Takes animation `id` off the running ones (nothing when it is not running) and drops its tracks.
std::optional<Running> takeRunning(std::uint64_t id)
{
    auto& s = state();
    auto found = s.running.find(id);
    if (found == s.running.end())
        return std::nullopt;
    Running running = std::move(found->second);
    s.running.erase(found);
    dropTracks(id, running.keys);
    return running;
}

void finish(std::uint64_t id, bool finished)
{
    auto running = takeRunning(id);
    if (!running)
        return;
    if (running->completion)
        running->completion(finished);
    for (const auto& transaction : running->transactions) {
        if (--transaction->pending == 0 && transaction->committed && transaction->completion)
            transaction->completion();
    }
}

EndTicket::~EndTicket()
{
    takeRunning(m_id);
}

void interrupt(std::uint64_t id)
{
    auto& s = state();
    auto found = s.running.find(id);
    if (found == s.running.end())
        return;
    auto ticket = found->second.ticket.lock();
    if (found->second.scheduled)
        mainQueue().cancel(found->second.task);
    found->second.scheduled = false;
    dropTracks(id, found->second.keys);
    mainQueue().async([id, ticket] { finish(id, false); });
}

void record(
    std::uint64_t id, const Key& key, std::weak_ptr<const void> object, AnimatedValue from, AnimatedValue to)
{
    auto& s = state();
    Running& running = s.running.at(id);
    if (const Track* existing = liveTrack(key)) {
        if (existing->animation == id) {
            s.tracks[key].to = std::move(to);
            return;
        }
        if (existing->animation > id)
            return;
        if (running.options.beginFromCurrentState)
            from = *presentation(key);
        interrupt(existing->animation);
    }
    s.tracks[key] = Track { std::move(object), id, std::move(from), std::move(to) };
    running.keys.push_back(key);
}

std::vector<Snapshot> takeSnapshot()
{
    std::vector<Snapshot> snapshot;
    for (Window* window : Window::windows()) {
        std::vector<View*> stack { window };
        while (!stack.empty()) {
            View* view = stack.back();
            stack.pop_back();
            // A view not held by a shared pointer (a window made on the stack) has no animation to track.
            if (auto held = view->weak_from_this().lock())
                snapshot.push_back(
                    { held, view->frame(), view->alpha(), view->backgroundColor(), view->transformScale() });
            for (const auto& subview : view->subviews())
                stack.push_back(subview.get());
        }
    }
    return snapshot;
}

void recordDifferences(std::uint64_t id, const std::vector<Snapshot>& snapshot)
{
    for (const auto& before : snapshot) {
        const View& view = *before.view;
        std::weak_ptr<const void> object = before.view;
        if (view.frame() != before.frame)
            record(id, { &view, Property::Frame }, object, before.frame, view.frame());
        if (view.alpha() != before.alpha)
            record(id, { &view, Property::Alpha }, object, before.alpha, view.alpha());
        if (!(view.backgroundColor() == before.backgroundColor))
            record(id, { &view, Property::BackgroundColor }, object, before.backgroundColor,
                view.backgroundColor());
        if (view.transformScale() != before.transformScale)
            record(id, { &view, Property::TransformScale }, object, before.transformScale,
                view.transformScale());
    }
}

}

void Animation::animate(double duration, double delay, AnimationOptions options,
    const std::function<void()>& changes, Completion completion)
{
    auto& s = state();
    std::uint64_t id = ++s.nextId;
    duration = std::max(0.0, duration);
    delay = std::max(0.0, delay);
    Running& created = s.running[id];
    created.begin = now() + delay;
    created.duration = duration;
    created.options = options;
    created.completion = std::move(completion);
    auto snapshot = takeSnapshot();
    s.open.push_back(id);
    try {
        if (changes)
            changes();
    } catch (...) {
        s.open.pop_back();
        s.running.erase(id);
        throw;
    }
    s.open.pop_back();
    recordDifferences(id, snapshot);
    Running& running = s.running.at(id);
    for (const auto& transaction : s.transactions) {
        ++transaction->pending;
        running.transactions.push_back(transaction);
    }
    auto ticket = std::make_shared<EndTicket>(id);
    running.ticket = ticket;
    running.task = mainQueue().after(delay + duration, [id, ticket] { finish(id, true); });
    running.scheduled = true;
}

void Animation::animate(double duration, const std::function<void()>& changes, Completion completion)
{
    animate(duration, 0, {}, changes, std::move(completion));
}

Rect Animation::presentationFrame(const View& view)
{
    auto value = presentation({ &view, Property::Frame });
    return value ? std::get<Rect>(*value) : view.frame();
}

double Animation::presentationAlpha(const View& view)
{
    auto value = presentation({ &view, Property::Alpha });
    return value ? std::get<double>(*value) : view.alpha();
}

Color Animation::presentationBackgroundColor(const View& view)
{
    auto value = presentation({ &view, Property::BackgroundColor });
    return value ? std::get<Color>(*value) : view.backgroundColor();
}

Size Animation::presentationTransformScale(const View& view)
{
    auto value = presentation({ &view, Property::TransformScale });
    return value ? std::get<Size>(*value) : view.transformScale();
}

double Animation::presentationConstant(const Constraint& constraint)
{
    auto value = presentation({ &constraint, Property::Constant });
    return value ? std::get<double>(*value) : constraint.constant();
}

bool Animation::isAnimating(const View& view)
{
    for (auto property :
        { Property::Frame, Property::Alpha, Property::BackgroundColor, Property::TransformScale }) {
        if (liveTrack({ &view, property }))
            return true;
    }
    return false;
}

std::size_t Animation::runningCount()
{
    return state().running.size();
}

void Animation::constantDidChange(Constraint& constraint, double oldConstant)
{
    auto& s = state();
    if (s.open.empty())
        return;
    std::weak_ptr<const void> object = constraint.shared_from_this();
    record(s.open.back(), { &constraint, Property::Constant }, object, oldConstant, constraint.constant());
}

void AnimationTransaction::begin()
{
    state().transactions.push_back(std::make_shared<TransactionState>());
}

void AnimationTransaction::setCompletion(std::function<void()> completion)
{
    auto& transactions = state().transactions;
    if (transactions.empty())
        throw std::logic_error("AnimationTransaction::setCompletion without an open transaction");
    transactions.back()->completion = std::move(completion);
}

void AnimationTransaction::commit()
{
    auto& transactions = state().transactions;
    if (transactions.empty())
        throw std::logic_error("AnimationTransaction::commit without an open transaction");
    auto transaction = transactions.back();
    transactions.pop_back();
    transaction->committed = true;
    if (transaction->pending == 0 && transaction->completion)
        mainQueue().async(transaction->completion);
}

}
