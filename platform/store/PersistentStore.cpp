#include "platform/store/PersistentStore.h"

#include "platform/store/EntityDescription.h"
#include "platform/store/ManagedObjectModel.h"

#include <sqlite3.h>

#include <algorithm>
#include <set>

namespace platform::store {

using foundation::Value;

namespace {

// How long an operation waits for another connection's lock before it fails.
constexpr int kBusyTimeoutMilliseconds = 250;

std::string sqlIdentifier(std::string_view identifier)
{
    std::string result = "\"";
    for (char c : identifier) {
        result += c;
        if (c == '"')
            result += '"';
    }
    return result + "\"";
}

const char* columnType(AttributeType type)
{
    switch (type) {
    case AttributeType::String:
        return "TEXT";
    case AttributeType::Boolean:
    case AttributeType::Integer:
        return "INTEGER";
    case AttributeType::Date:
        return "REAL";
    case AttributeType::Blob:
        return "BLOB";
    }
    return "BLOB";
}

std::string describe(sqlite3* database)
{
    return database ? sqlite3_errmsg(database) : "out of memory";
}

// What an SQLite result code says about the file.
StoreFault faultOf(int code)
{
    switch (code & 0xFF) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return StoreFault::Locked;
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
        return StoreFault::Damaged;
    default:
        return StoreFault::None;
    }
}

StoreStatus failure(sqlite3* database, int code)
{
    return { describe(database), faultOf(code) };
}

// One prepared statement, finalised when it goes away.
class Statement {
public:
    Statement(sqlite3* database, const std::string& sql)
        : m_database(database)
    {
        int result = sqlite3_prepare_v2(database, sql.c_str(), int(sql.size()), &m_statement, nullptr);
        if (result != SQLITE_OK)
            m_status = failure(database, result);
    }
    ~Statement() { sqlite3_finalize(m_statement); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    const std::string& error() const { return m_status.error; }
    const StoreStatus& status() const { return m_status; }
    StoreFault fault() const { return m_status.fault; }

    void bind(int position, const Value& value)
    {
        switch (value.type()) {
        case Value::Type::Null:
            sqlite3_bind_null(m_statement, position);
            break;
        case Value::Type::Bool:
            sqlite3_bind_int64(m_statement, position, *value.boolean() ? 1 : 0);
            break;
        case Value::Type::Integer:
            sqlite3_bind_int64(m_statement, position, *value.integer());
            break;
        case Value::Type::Date:
            sqlite3_bind_double(m_statement, position, value.date()->secondsSince1970);
            break;
        case Value::Type::String:
            sqlite3_bind_text64(m_statement, position, value.string()->data(), value.string()->size(),
                SQLITE_TRANSIENT, SQLITE_UTF8);
            break;
        case Value::Type::Bytes:
            // An empty blob is bound as a zero-length blob, not as null.
            if (value.bytes()->empty())
                sqlite3_bind_zeroblob(m_statement, position, 0);
            else
                sqlite3_bind_blob64(
                    m_statement, position, value.bytes()->data(), value.bytes()->size(), SQLITE_TRANSIENT);
            break;
        default:
            sqlite3_bind_null(m_statement, position);
            break;
        }
    }

    // Steps once: true while there is a row; on failure sets error().
    bool step()
    {
        int result = sqlite3_step(m_statement);
        if (result == SQLITE_ROW)
            return true;
        if (result != SQLITE_DONE)
            m_status = failure(m_database, result);
        return false;
    }

    std::int64_t integer(int column) const { return sqlite3_column_int64(m_statement, column); }

    std::string text(int column) const
    {
        auto* characters = reinterpret_cast<const char*>(sqlite3_column_text(m_statement, column));
        return characters ? std::string(characters, std::size_t(sqlite3_column_bytes(m_statement, column)))
                          : std::string();
    }

    Value value(int column, AttributeType type) const
    {
        if (sqlite3_column_type(m_statement, column) == SQLITE_NULL)
            return {};
        switch (type) {
        case AttributeType::String:
            return text(column);
        case AttributeType::Boolean:
            return integer(column) != 0;
        case AttributeType::Integer:
            return integer(column);
        case AttributeType::Date:
            return foundation::Date { sqlite3_column_double(m_statement, column) };
        case AttributeType::Blob: {
            auto* bytes = static_cast<const std::uint8_t*>(sqlite3_column_blob(m_statement, column));
            auto size = std::size_t(sqlite3_column_bytes(m_statement, column));
            return bytes ? foundation::Bytes(bytes, bytes + size) : foundation::Bytes();
        }
        }
        return {};
    }

private:
    sqlite3* m_database { nullptr };
    sqlite3_stmt* m_statement { nullptr };
    StoreStatus m_status;
};

std::string whereClause(const FetchRequest::Equals* predicate)
{
    if (!predicate)
        return {};
    return " WHERE " + sqlIdentifier(predicate->attribute)
        + (predicate->value.isNull() ? " IS NULL" : " = ?1");
}

std::string limitClause(std::size_t limit)
{
    return limit ? " LIMIT " + std::to_string(limit) : std::string();
}

void bindPredicate(Statement& statement, const FetchRequest::Equals* predicate)
{
    if (predicate && !predicate->value.isNull())
        statement.bind(1, predicate->value);
}

}

PersistentStore::PersistentStore(sqlite3* database, std::filesystem::path path)
    : m_database(database)
    , m_path(std::move(path))
{
}

PersistentStore::~PersistentStore()
{
    sqlite3_close_v2(m_database);
}

StoreResult<std::unique_ptr<PersistentStore>> PersistentStore::open(
    const std::filesystem::path& path, const ManagedObjectModel& model)
{
    sqlite3* database = nullptr;
    int result
        = sqlite3_open_v2(path.c_str(), &database, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    std::unique_ptr<PersistentStore> store(new PersistentStore(database, path));
    if (result != SQLITE_OK)
        return { nullptr, describe(database) };
    return prepare(std::move(store), model);
}

StoreResult<std::unique_ptr<PersistentStore>> PersistentStore::openInMemory(const ManagedObjectModel& model)
{
    sqlite3* database = nullptr;
    int result = sqlite3_open_v2(":memory:", &database, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    std::unique_ptr<PersistentStore> store(new PersistentStore(database, {}));
    if (result != SQLITE_OK)
        return { nullptr, describe(database) };
    return prepare(std::move(store), model);
}

StoreResult<std::unique_ptr<PersistentStore>> PersistentStore::prepare(
    std::unique_ptr<PersistentStore> store, const ManagedObjectModel& model)
{
    sqlite3_extended_result_codes(store->m_database, 1);
    sqlite3_busy_timeout(store->m_database, kBusyTimeoutMilliseconds);
    store->m_unpreparedModel = &model;
    auto status = store->ready();
    if (!status.ok() && status.fault != StoreFault::Locked)
        return { nullptr, status.error, status.fault };
    return { std::move(store), {} };
}

StoreStatus PersistentStore::ready()
{
    if (!m_unpreparedModel)
        return {};
    if (auto status = checkIntegrity(); !status.ok())
        return status;
    if (auto status = createTables(*m_unpreparedModel); !status.ok())
        return status;
    m_unpreparedModel = nullptr;
    return {};
}

StoreStatus PersistentStore::checkIntegrity()
{
    Statement check(m_database, "PRAGMA quick_check");
    if (!check.error().empty())
        return check.status();
    if (!check.step())
        return check.error().empty() ? StoreStatus { "The store could not be checked" } : check.status();
    std::string verdict = check.text(0);
    if (verdict != "ok")
        return { "The store file is damaged: " + verdict, StoreFault::Damaged };
    return {};
}

StoreResult<std::vector<std::string>> PersistentStore::tableChanges(const ManagedObjectModel& model)
{
    std::vector<std::string> changes;
    for (const auto& entity : model.entities()) {
        std::string table = sqlIdentifier(entity.name());
        std::set<std::string> columns;
        Statement info(m_database, "PRAGMA table_info(" + table + ")");
        while (info.error().empty() && info.step())
            columns.insert(info.text(1));
        if (!info.error().empty())
            return { {}, info.error(), info.fault() };
        if (columns.empty()) {
            std::string create = "CREATE TABLE " + table + " ("
                + sqlIdentifier(EntityDescription::kIdentifierColumn) + " INTEGER PRIMARY KEY AUTOINCREMENT";
            for (const auto& attribute : entity.attributes())
                create += ", " + sqlIdentifier(attribute.name) + " " + columnType(attribute.type);
            changes.push_back(create + ")");
            continue;
        }
        for (const auto& attribute : entity.attributes()) {
            if (!columns.contains(attribute.name))
                changes.push_back("ALTER TABLE " + table + " ADD COLUMN " + sqlIdentifier(attribute.name)
                    + " " + columnType(attribute.type));
        }
    }
    return { std::move(changes), {} };
}

StoreStatus PersistentStore::createTables(const ManagedObjectModel& model)
{
    // A file that is up to the model needs no write lock, so another connection's pending write does not
    // keep it from being read.
    auto needed = tableChanges(model);
    if (!needed.ok() || needed.value.empty())
        return { needed.error, needed.fault };
    if (auto status = execute("BEGIN IMMEDIATE"); !status.ok())
        return status;
    auto changes = tableChanges(model);
    if (!changes.ok()) {
        rollback();
        return { changes.error, changes.fault };
    }
    for (const auto& change : changes.value) {
        if (auto status = execute(change); !status.ok()) {
            rollback();
            return status;
        }
    }
    return commit();
}

StoreStatus PersistentStore::execute(const std::string& sql)
{
    char* message = nullptr;
    int result = sqlite3_exec(m_database, sql.c_str(), nullptr, nullptr, &message);
    if (result == SQLITE_OK)
        return {};
    std::string error = message ? message : describe(m_database);
    sqlite3_free(message);
    return { error, faultOf(result) };
}

StoreResult<std::vector<PersistentStore::Row>> PersistentStore::select(
    const EntityDescription& entity, const FetchRequest::Equals* predicate, std::size_t limit)
{
    if (auto status = ready(); !status.ok())
        return { {}, status.error, status.fault };
    std::string sql = "SELECT " + sqlIdentifier(EntityDescription::kIdentifierColumn);
    for (const auto& attribute : entity.attributes())
        sql += ", " + sqlIdentifier(attribute.name);
    sql += " FROM " + sqlIdentifier(entity.name()) + whereClause(predicate) + " ORDER BY "
        + sqlIdentifier(EntityDescription::kIdentifierColumn) + limitClause(limit);
    Statement statement(m_database, sql);
    if (!statement.error().empty())
        return { {}, statement.error(), statement.fault() };
    bindPredicate(statement, predicate);
    std::vector<Row> rows;
    while (statement.step()) {
        Row row;
        row.identifier = statement.integer(0);
        for (std::size_t index = 0; index < entity.attributes().size(); ++index)
            row.values.push_back(statement.value(int(index) + 1, entity.attributes()[index].type));
        rows.push_back(std::move(row));
    }
    if (!statement.error().empty())
        return { {}, statement.error(), statement.fault() };
    return { std::move(rows), {} };
}

StoreResult<std::size_t> PersistentStore::count(
    const EntityDescription& entity, const FetchRequest::Equals* predicate, std::size_t limit)
{
    if (auto status = ready(); !status.ok())
        return { 0, status.error, status.fault };
    Statement statement(
        m_database, "SELECT COUNT(*) FROM " + sqlIdentifier(entity.name()) + whereClause(predicate));
    if (!statement.error().empty())
        return { 0, statement.error(), statement.fault() };
    bindPredicate(statement, predicate);
    if (!statement.step())
        return { 0, statement.error().empty() ? "The store gave no count" : statement.error(),
            statement.fault() };
    auto found = std::size_t(statement.integer(0));
    return { limit ? std::min(found, limit) : found, {} };
}

StoreStatus PersistentStore::begin()
{
    if (auto status = ready(); !status.ok())
        return status;
    return execute("BEGIN IMMEDIATE");
}

StoreStatus PersistentStore::commit()
{
    return execute("COMMIT");
}

void PersistentStore::rollback()
{
    if (!sqlite3_get_autocommit(m_database))
        execute("ROLLBACK");
}

StoreResult<std::int64_t> PersistentStore::insert(const EntityDescription& entity, const Values& values)
{
    std::string columns;
    std::string placeholders;
    for (std::size_t index = 0; index < entity.attributes().size(); ++index) {
        columns += (index ? ", " : "") + sqlIdentifier(entity.attributes()[index].name);
        placeholders += (index ? ", ?" : "?") + std::to_string(index + 1);
    }
    std::string sql = "INSERT INTO " + sqlIdentifier(entity.name())
        + (columns.empty() ? " DEFAULT VALUES" : " (" + columns + ") VALUES (" + placeholders + ")");
    Statement statement(m_database, sql);
    if (!statement.error().empty())
        return { 0, statement.error(), statement.fault() };
    for (std::size_t index = 0; index < values.size(); ++index)
        statement.bind(int(index) + 1, values[index]);
    statement.step();
    if (!statement.error().empty())
        return { 0, statement.error(), statement.fault() };
    return { sqlite3_last_insert_rowid(m_database), {} };
}

StoreStatus PersistentStore::update(
    const EntityDescription& entity, std::int64_t identifier, const Values& values)
{
    if (entity.attributes().empty())
        return {};
    std::string assignments;
    for (std::size_t index = 0; index < entity.attributes().size(); ++index)
        assignments += (index ? ", " : "") + sqlIdentifier(entity.attributes()[index].name) + " = ?"
            + std::to_string(index + 1);
    Statement statement(m_database,
        "UPDATE " + sqlIdentifier(entity.name()) + " SET " + assignments + " WHERE "
            + sqlIdentifier(EntityDescription::kIdentifierColumn) + " = ?"
            + std::to_string(values.size() + 1));
    if (!statement.error().empty())
        return statement.status();
    for (std::size_t index = 0; index < values.size(); ++index)
        statement.bind(int(index) + 1, values[index]);
    statement.bind(int(values.size()) + 1, Value(identifier));
    statement.step();
    return statement.status();
}

StoreStatus PersistentStore::remove(const EntityDescription& entity, std::int64_t identifier)
{
    Statement statement(m_database,
        "DELETE FROM " + sqlIdentifier(entity.name()) + " WHERE "
            + sqlIdentifier(EntityDescription::kIdentifierColumn) + " = ?1");
    if (!statement.error().empty())
        return statement.status();
    statement.bind(1, Value(identifier));
    statement.step();
    return statement.status();
}

}
