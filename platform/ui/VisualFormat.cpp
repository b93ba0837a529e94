#include "platform/ui/VisualFormat.h"

#include "platform/ui/View.h"

#include <cctype>
#include <charconv>
#include <optional>

namespace platform::ui {

namespace {

struct Predicate {
    LayoutRelation relation { LayoutRelation::Equal };
    double constant { 0 };
    std::shared_ptr<View> view;
    float priority { LayoutPriority::required };
};

// The distance between two neighbouring elements.
struct Connection {
    enum class Kind { Touching, Standard, Predicates } kind { Kind::Touching };
    std::vector<Predicate> predicates;
};

class Parser {
public:
    Parser(std::string_view format, const VisualFormat::Views& views, const VisualFormat::Metrics& metrics)
        : m_format(format)
        , m_views(views)
        , m_metrics(metrics)
    {
    }

    std::vector<std::shared_ptr<Constraint>> parse()
    {
        skipSpace();
        if (acceptText("H:") || acceptText("V:"))
            m_horizontal = m_format[m_position - 2] == 'H';
        skipSpace();
        bool leadingSuperview = accept('|');
        std::optional<Connection> pending;
        if (leadingSuperview)
            pending = parseConnection();
        std::shared_ptr<View> previous;
        while (true) {
            skipSpace();
            if (!peek('['))
                fail(previous ? "expected a view or '|'" : "expected a view");
            auto view = parseView();
            if (!previous && leadingSuperview)
                connectToSuperviewStart(view, *pending);
            else if (previous)
                connect(previous, view, *pending);
            appendViewPredicates(view);
            previous = view;
            skipSpace();
            if (atEnd())
                return std::move(m_constraints);
            pending = parseConnection();
            skipSpace();
            if (accept('|')) {
                connectToSuperviewEnd(previous, *pending);
                skipSpace();
                if (!atEnd())
                    fail("unexpected text after the closing '|'");
                return std::move(m_constraints);
            }
        }
    }

private:
    // Elements

    std::shared_ptr<View> parseView()
    {
        expect('[');
        skipSpace();
        std::size_t at = m_position;
        std::string name = parseName();
        if (name.empty())
            fail("expected a view name");
        auto found = m_views.find(name);
        if (found == m_views.end() || !found->second)
            fail("'" + name + "' is not a key in the views dictionary", at);
        m_viewPredicates.clear();
        skipSpace();
        if (accept('(')) {
            m_viewPredicates = parsePredicateList(true);
            expect(')');
        }
        skipSpace();
        expect(']');
        return found->second;
    }

    // After '|' or ']': touching, '-' or '-predicates-'.
    Connection parseConnection()
    {
        skipSpace();
        Connection connection;
        if (!accept('-'))
            return connection;
        skipSpace();
        if (peek('[') || peek('|')) {
            connection.kind = Connection::Kind::Standard;
            return connection;
        }
        connection.kind = Connection::Kind::Predicates;
        if (accept('(')) {
            connection.predicates = parsePredicateList(false);
            expect(')');
        } else {
            connection.predicates.push_back(parsePredicate(false));
        }
        skipSpace();
        expect('-');
        return connection;
    }

    std::vector<Predicate> parsePredicateList(bool allowViews)
    {
        std::vector<Predicate> list { parsePredicate(allowViews) };
        skipSpace();
        while (accept(',')) {
            list.push_back(parsePredicate(allowViews));
            skipSpace();
        }
        return list;
    }

    Predicate parsePredicate(bool allowViews)
    {
        Predicate predicate;
        skipSpace();
        if (acceptText("=="))
            predicate.relation = LayoutRelation::Equal;
        else if (acceptText(">="))
            predicate.relation = LayoutRelation::GreaterThanOrEqual;
        else if (acceptText("<="))
            predicate.relation = LayoutRelation::LessThanOrEqual;
        skipSpace();
        std::size_t at = m_position;
        if (auto number = parseNumber()) {
            predicate.constant = *number;
        } else {
            std::string name = parseName();
            if (name.empty())
                fail("expected a number, metric or view name");
            if (auto metric = m_metrics.find(name); metric != m_metrics.end()) {
                predicate.constant = metric->second;
            } else if (auto view = m_views.find(name); allowViews && view != m_views.end() && view->second) {
                predicate.view = view->second;
            } else {
                fail("'" + name + "' is not a key in the metrics" + (allowViews ? " or views" : "")
                        + " dictionary",
                    at);
            }
        }
        skipSpace();
        if (accept('@')) {
            skipSpace();
            std::size_t priorityAt = m_position;
            if (auto number = parseNumber()) {
                predicate.priority = float(*number);
            } else {
                std::string name = parseName();
                auto metric = m_metrics.find(name);
                if (metric == m_metrics.end())
                    fail("expected a priority", priorityAt);
                predicate.priority = float(metric->second);
            }
            if (predicate.priority < 1 || predicate.priority > LayoutPriority::required)
                fail("a priority lies between 1 and 1000", priorityAt);
        }
        return predicate;
    }

    // Constraints

    LayoutAttribute leadingEdge() const
    {
        return m_horizontal ? LayoutAttribute::Leading : LayoutAttribute::Top;
    }
    LayoutAttribute trailingEdge() const
    {
        return m_horizontal ? LayoutAttribute::Trailing : LayoutAttribute::Bottom;
    }
    LayoutAttribute size() const { return m_horizontal ? LayoutAttribute::Width : LayoutAttribute::Height; }

    void add(const std::shared_ptr<View>& first, LayoutAttribute firstAttribute, const Predicate& predicate,
        const std::shared_ptr<View>& second, LayoutAttribute secondAttribute, double constant)
    {
        auto constraint = Constraint::create(
            first, firstAttribute, predicate.relation, second, secondAttribute, 1, constant);
        constraint->setPriority(predicate.priority);
        m_constraints.push_back(std::move(constraint));
    }

    std::vector<Predicate> distances(const Connection& connection, double standard) const
    {
        switch (connection.kind) {
        case Connection::Kind::Touching:
            return { Predicate {} };
        case Connection::Kind::Standard: {
            Predicate predicate;
            predicate.constant = standard;
            return { predicate };
        }
        case Connection::Kind::Predicates:
            break;
        }
        return connection.predicates;
    }

    std::shared_ptr<View> superviewOf(const std::shared_ptr<View>& view)
    {
        auto superview = view->superview();
        if (!superview)
            fail("'|' stands for the superview, but " + Constraint::describeView(view.get()) + " has none");
        return superview;
    }

    void connect(const std::shared_ptr<View>& earlier, const std::shared_ptr<View>& later,
        const Connection& connection)
    {
        for (const auto& predicate : distances(connection, VisualFormat::standardSpacing))
            add(later, leadingEdge(), predicate, earlier, trailingEdge(), predicate.constant);
    }

    void connectToSuperviewStart(const std::shared_ptr<View>& view, const Connection& connection)
    {
        auto superview = superviewOf(view);
        for (const auto& predicate : distances(connection, VisualFormat::standardSuperviewSpacing))
            add(view, leadingEdge(), predicate, superview, leadingEdge(), predicate.constant);
    }

    void connectToSuperviewEnd(const std::shared_ptr<View>& view, const Connection& connection)
    {
        auto superview = superviewOf(view);
        for (const auto& predicate : distances(connection, VisualFormat::standardSuperviewSpacing))
            add(superview, trailingEdge(), predicate, view, trailingEdge(), predicate.constant);
    }

    void appendViewPredicates(const std::shared_ptr<View>& view)
    {
        for (const auto& predicate : m_viewPredicates) {
            if (predicate.view)
                add(view, size(), predicate, predicate.view, size(), 0);
            else
                add(view, size(), predicate, nullptr, LayoutAttribute::NotAnAttribute, predicate.constant);
        }
    }

    // Characters

    bool atEnd() const { return m_position >= m_format.size(); }
    bool peek(char c) const { return !atEnd() && m_format[m_position] == c; }

    bool accept(char c)
    {
        if (!peek(c))
            return false;
        ++m_position;
        return true;
    }

    bool acceptText(std::string_view text)
    {
        if (m_format.substr(m_position, text.size()) != text)
            return false;
        m_position += text.size();
        return true;
    }

    void expect(char c)
    {
        skipSpace();
        if (!accept(c))
            fail(std::string("expected '") + c + "'");
    }

    void skipSpace()
    {
        while (!atEnd() && std::isspace(static_cast<unsigned char>(m_format[m_position])))
            ++m_position;
    }

    std::string parseName()
    {
        std::size_t start = m_position;
        auto isNameChar = [&](std::size_t i, char c) {
            return std::isalpha(static_cast<unsigned char>(c)) || c == '_'
                || (i > start && std::isdigit(static_cast<unsigned char>(c)));
        };
        while (!atEnd() && isNameChar(m_position, m_format[m_position]))
            ++m_position;
        return std::string(m_format.substr(start, m_position - start));
    }

    std::optional<double> parseNumber()
    {
        std::size_t start = m_position;
        std::size_t end = start;
        if (end < m_format.size() && (m_format[end] == '-' || m_format[end] == '+'))
            ++end;
        if (end >= m_format.size()
            || !(std::isdigit(static_cast<unsigned char>(m_format[end])) || m_format[end] == '.'))
            return std::nullopt;
        while (end < m_format.size()
            && (std::isdigit(static_cast<unsigned char>(m_format[end])) || m_format[end] == '.'))
            ++end;
        const char* first = m_format.data() + start + (m_format[start] == '+' ? 1 : 0);
        double value = 0;
        auto result = std::from_chars(first, m_format.data() + end, value);
        if (result.ec != std::errc() || result.ptr != m_format.data() + end)
            fail("malformed number");
        m_position = end;
        return value;
    }

    [[noreturn]] void fail(const std::string& reason) const { fail(reason, m_position); }

    [[noreturn]] void fail(const std::string& reason, std::size_t at) const
    {
        throw LayoutError("Unable to parse constraint format: " + reason + "\n" + std::string(m_format) + "\n"
            + std::string(std::min(at, m_format.size()), ' ') + "^");
    }

    std::string_view m_format;
    const VisualFormat::Views& m_views;
    const VisualFormat::Metrics& m_metrics;
    std::size_t m_position { 0 };
    bool m_horizontal { true };
    std::vector<Predicate> m_viewPredicates;
    std::vector<std::shared_ptr<Constraint>> m_constraints;
};

}

std::vector<std::shared_ptr<Constraint>> VisualFormat::constraints(
    std::string_view format, const Views& views, const Metrics& metrics)
{
    return Parser(format, views, metrics).parse();
}

}
