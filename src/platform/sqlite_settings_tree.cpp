// SQLite storage of the settings tree: one row per key, one row per value.
#include "platform/sqlite_settings_tree.h"

#include <sqlite3.h>

#include <chrono>
#include <ctime>
#include <system_error>

#include "platform/folders.h"

namespace qv {
namespace fs = std::filesystem;

namespace {

constexpr int kSchemaVersion = 1;
constexpr int kBusyTimeoutMs = 15000;
constexpr long long kRootKeyId = 1;

// A prepared statement that finalizes itself.
class Stmt {
 public:
  Stmt(sqlite3* db, std::string_view sql) {
    rc_ = sqlite3_prepare_v2(db, sql.data(), static_cast<int>(sql.size()), &stmt_, nullptr);
  }
  ~Stmt() { sqlite3_finalize(stmt_); }
  Stmt(const Stmt&) = delete;
  Stmt& operator=(const Stmt&) = delete;

  bool ok() const { return rc_ == SQLITE_OK && stmt_; }
  Stmt& bind(int i, long long v) {
    sqlite3_bind_int64(stmt_, i, v);
    return *this;
  }
  Stmt& bind(int i, std::string_view text) {
    sqlite3_bind_text(stmt_, i, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
    return *this;
  }
  Stmt& bindBlob(int i, const void* data, std::size_t size) {
    // A zero-length blob, not NULL, for empty values.
    sqlite3_bind_blob(stmt_, i, size ? data : "", static_cast<int>(size), SQLITE_TRANSIENT);
    return *this;
  }
  // SQLITE_ROW, SQLITE_DONE or an error code.
  int step() { return ok() ? sqlite3_step(stmt_) : rc_; }
  long long integer(int col) const { return sqlite3_column_int64(stmt_, col); }
  std::string text(int col) const {
    const auto* p = static_cast<const char*>(sqlite3_column_blob(stmt_, col));
    return p ? std::string(p, static_cast<std::size_t>(sqlite3_column_bytes(stmt_, col)))
             : std::string();
  }

 private:
  sqlite3_stmt* stmt_ = nullptr;
  int rc_ = SQLITE_ERROR;
};

bool Exec(sqlite3* db, const char* sql) {
  return sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

bool IsDamage(int rc) {
  switch (rc & 0xff) {
    case SQLITE_NOTADB:
    case SQLITE_CORRUPT:
    case SQLITE_CANTOPEN:
    case SQLITE_FORMAT:
    case SQLITE_IOERR:
      return true;
    default:
      return false;
  }
}

// Checks the file and creates the schema; returns an error code and message on failure.
std::pair<int, std::string> Prepare(sqlite3* db) {
  auto fail = [&](int rc) {
    return std::pair<int, std::string>(rc, sqlite3_errmsg(db) ? sqlite3_errmsg(db) : "unknown error");
  };
  sqlite3_busy_timeout(db, kBusyTimeoutMs);
  {
    Stmt wal(db, "PRAGMA journal_mode=WAL");
    if (!wal.ok()) return fail(sqlite3_errcode(db));
    if (int rc = wal.step(); rc != SQLITE_ROW) return fail(rc);
  }
  if (!Exec(db, "PRAGMA synchronous=FULL")) return fail(sqlite3_errcode(db));
  {
    Stmt check(db, "PRAGMA quick_check");
    if (!check.ok()) return fail(sqlite3_errcode(db));
    int rc = check.step();
    if (rc != SQLITE_ROW) return fail(rc);
    if (check.text(0) != "ok") return {SQLITE_CORRUPT, "integrity check failed: " + check.text(0)};
  }
  int version = 0;
  {
    Stmt v(db, "PRAGMA user_version");
    if (int rc = v.step(); rc != SQLITE_ROW) return fail(rc);
    version = static_cast<int>(v.integer(0));
  }
  if (version > kSchemaVersion)
    return {SQLITE_FORMAT, "it was written by a newer version of Quirvane"};
  if (version == 0) {
    if (!Exec(db,
              "BEGIN IMMEDIATE;"
              "CREATE TABLE IF NOT EXISTS keys(id INTEGER PRIMARY KEY, parent INTEGER,"
              " name TEXT NOT NULL COLLATE NOCASE, UNIQUE(parent, name));"
              "CREATE TABLE IF NOT EXISTS vals(id INTEGER PRIMARY KEY, key INTEGER NOT NULL,"
              " name TEXT NOT NULL COLLATE NOCASE, type INTEGER NOT NULL, data BLOB,"
              " UNIQUE(key, name));"
              "INSERT OR IGNORE INTO keys(id, parent, name) VALUES (1, NULL, '');"
              "PRAGMA user_version=1;"
              "COMMIT;")) {
      auto result = fail(sqlite3_errcode(db));
      Exec(db, "ROLLBACK");
      return result;
    }
  }
  // The tables must have the shape this program reads.
  Stmt keys(db, "SELECT id, parent, name FROM keys WHERE id = 1");
  Stmt vals(db, "SELECT id, key, name, type, data FROM vals LIMIT 0");
  if (!keys.ok() || !vals.ok()) return {SQLITE_CORRUPT, "its tables are not the expected ones"};
  if (keys.step() != SQLITE_ROW) return {SQLITE_CORRUPT, "its root key is missing"};
  return {SQLITE_OK, {}};
}

std::string Timestamp() {
  const std::time_t now = std::time(nullptr);
  std::tm tm{};
  localtime_r(&now, &tm);
  char buf[32];
  std::strftime(buf, sizeof buf, "%Y%m%d-%H%M%S", &tm);
  return buf;
}

}  // namespace

SqliteSettingsTree::OpenResult SqliteSettingsTree::Open(const fs::path& file) {
  OpenResult result;
  sqlite3* db = nullptr;
  int rc = sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
  std::pair<int, std::string> prepared;
  if (rc != SQLITE_OK) {
    prepared = {rc, db ? sqlite3_errmsg(db) : "cannot open"};
  } else {
    prepared = Prepare(db);
  }
  if (prepared.first != SQLITE_OK) {
    sqlite3_close_v2(db);
    result.error = prepared.second;
    const int code = prepared.first & 0xff;
    result.failure = (code == SQLITE_BUSY || code == SQLITE_LOCKED) ? OpenFailure::Busy
                     : IsDamage(prepared.first)                     ? OpenFailure::Damaged
                                                                    : OpenFailure::Other;
    return result;
  }
  result.tree.reset(new SqliteSettingsTree(db));
  return result;
}

SqliteSettingsTree::SqliteSettingsTree(sqlite3* db) : db_(db) {}

SqliteSettingsTree::~SqliteSettingsTree() { sqlite3_close_v2(db_); }

std::optional<long long> SqliteSettingsTree::findKey(std::string_view key) const {
  long long id = kRootKeyId;
  for (const auto& part : SplitKeyPath(key)) {
    Stmt s(db_, "SELECT id FROM keys WHERE parent = ? AND name = ?");
    s.bind(1, id).bind(2, part);
    if (s.step() != SQLITE_ROW) return std::nullopt;
    id = s.integer(0);
  }
  return id;
}

std::optional<long long> SqliteSettingsTree::makeKey(std::string_view key) {
  long long id = kRootKeyId;
  for (const auto& part : SplitKeyPath(key)) {
    Stmt ins(db_, "INSERT OR IGNORE INTO keys(parent, name) VALUES (?, ?)");
    ins.bind(1, id).bind(2, part);
    if (ins.step() != SQLITE_DONE) return std::nullopt;
    Stmt s(db_, "SELECT id FROM keys WHERE parent = ? AND name = ?");
    s.bind(1, id).bind(2, part);
    if (s.step() != SQLITE_ROW) return std::nullopt;
    id = s.integer(0);
  }
  return id;
}

bool SqliteSettingsTree::keyExists(std::string_view key) const { return findKey(key).has_value(); }

std::vector<std::string> SqliteSettingsTree::subkeyNames(std::string_view key) const {
  std::vector<std::string> names;
  const auto id = findKey(key);
  if (!id) return names;
  Stmt s(db_, "SELECT name FROM keys WHERE parent = ? ORDER BY name COLLATE NOCASE");
  s.bind(1, *id);
  while (s.step() == SQLITE_ROW) names.push_back(s.text(0));
  return names;
}

std::vector<std::string> SqliteSettingsTree::valueNames(std::string_view key) const {
  std::vector<std::string> names;
  const auto id = findKey(key);
  if (!id) return names;
  Stmt s(db_, "SELECT name FROM vals WHERE key = ? ORDER BY id");
  s.bind(1, *id);
  while (s.step() == SQLITE_ROW) names.push_back(s.text(0));
  return names;
}

std::optional<SettingsValue> SqliteSettingsTree::readValue(std::string_view key,
                                                           std::string_view name) const {
  const auto id = findKey(key);
  if (!id) return std::nullopt;
  Stmt s(db_, "SELECT type, data FROM vals WHERE key = ? AND name = ?");
  s.bind(1, *id).bind(2, name);
  if (s.step() != SQLITE_ROW) return std::nullopt;
  switch (static_cast<ValueType>(s.integer(0))) {
    case ValueType::String: return SettingsValue::String(s.text(1));
    case ValueType::Integer: return SettingsValue::Integer(static_cast<std::int32_t>(s.integer(1)));
    case ValueType::Binary: {
      const std::string raw = s.text(1);
      return SettingsValue::Binary(std::vector<std::uint8_t>(raw.begin(), raw.end()));
    }
  }
  return std::nullopt;  // a type this program never writes
}

bool SqliteSettingsTree::applyOne(const SettingsChange& c) {
  switch (c.kind) {
    case SettingsChange::Kind::CreateKey: return makeKey(c.key).has_value();
    case SettingsChange::Kind::SetValue: {
      const auto id = makeKey(c.key);
      if (!id) return false;
      Stmt s(db_,
             "INSERT INTO vals(key, name, type, data) VALUES (?, ?, ?, ?)"
             " ON CONFLICT(key, name) DO UPDATE SET type = excluded.type, data = excluded.data");
      s.bind(1, *id).bind(2, c.name).bind(3, static_cast<long long>(c.value.type));
      switch (c.value.type) {
        case ValueType::String: s.bindBlob(4, c.value.text.data(), c.value.text.size()); break;
        case ValueType::Integer: s.bind(4, static_cast<long long>(c.value.integer)); break;
        case ValueType::Binary: s.bindBlob(4, c.value.bytes.data(), c.value.bytes.size()); break;
      }
      return s.step() == SQLITE_DONE;
    }
    case SettingsChange::Kind::DeleteValue: {
      const auto id = findKey(c.key);
      if (!id) return true;
      Stmt s(db_, "DELETE FROM vals WHERE key = ? AND name = ?");
      s.bind(1, *id).bind(2, c.name);
      return s.step() == SQLITE_DONE;
    }
    case SettingsChange::Kind::DeleteKey: {
      const auto id = findKey(c.key);
      if (!id) return true;
      static constexpr const char* kTree =
          "WITH RECURSIVE sub(id) AS (SELECT ? UNION ALL"
          " SELECT keys.id FROM keys JOIN sub ON keys.parent = sub.id) ";
      Stmt vals(db_, std::string(kTree) + "DELETE FROM vals WHERE key IN (SELECT id FROM sub)");
      vals.bind(1, *id);
      if (vals.step() != SQLITE_DONE) return false;
      // The root key itself stays: deleting it empties the tree.
      Stmt keys(db_, std::string(kTree) +
                         "DELETE FROM keys WHERE id IN (SELECT id FROM sub) AND id <> 1");
      keys.bind(1, *id);
      return keys.step() == SQLITE_DONE;
    }
  }
  return false;
}

Status SqliteSettingsTree::writeTransaction(std::span<const SettingsChange> changes) {
  if (!Exec(db_, "BEGIN IMMEDIATE"))
    return Status::Failure(std::string("Settings could not be saved: ") + sqlite3_errmsg(db_));
  for (const auto& c : changes) {
    if (!applyOne(c)) {
      std::string message = std::string("Settings could not be saved: ") + sqlite3_errmsg(db_);
      Exec(db_, "ROLLBACK");
      return Status::Failure(std::move(message));
    }
  }
  if (!Exec(db_, "COMMIT")) {
    std::string message = std::string("Settings could not be saved: ") + sqlite3_errmsg(db_);
    Exec(db_, "ROLLBACK");
    return Status::Failure(std::move(message));
  }
  return {};
}

Status SqliteSettingsTree::createKey(std::string_view key) {
  const SettingsChange c{SettingsChange::Kind::CreateKey, std::string(key), {}, {}};
  return writeTransaction({&c, 1});
}

Status SqliteSettingsTree::deleteKey(std::string_view key) {
  const SettingsChange c{SettingsChange::Kind::DeleteKey, std::string(key), {}, {}};
  return writeTransaction({&c, 1});
}

Status SqliteSettingsTree::writeValue(std::string_view key, std::string_view name,
                                      const SettingsValue& value) {
  const SettingsChange c{SettingsChange::Kind::SetValue, std::string(key), std::string(name), value};
  return writeTransaction({&c, 1});
}

Status SqliteSettingsTree::deleteValue(std::string_view key, std::string_view name) {
  const SettingsChange c{SettingsChange::Kind::DeleteValue, std::string(key), std::string(name), {}};
  return writeTransaction({&c, 1});
}

Status SqliteSettingsTree::apply(std::span<const SettingsChange> changes) {
  return writeTransaction(changes);
}

// ---- opening the user's store ----

fs::path SettingsDatabasePath() { return fs::path(AppDataDirectory()) / "settings.db"; }

SettingsStore OpenSettingsStore(const fs::path& file) {
  SettingsStore store;
  std::error_code ec;
  if (file.has_parent_path()) fs::create_directories(file.parent_path(), ec);

  auto first = SqliteSettingsTree::Open(file);
  if (first.tree) {
    store.tree = std::move(first.tree);
    store.persistent = true;
    return store;
  }
  auto inMemory = [&](std::string message) {
    store.tree = std::make_unique<MemorySettingsTree>();
    store.persistent = false;
    store.message = std::move(message);
    return std::move(store);
  };
  // A file the user write-protected, or a folder we cannot use, is not damage: leave it alone.
  if (first.failure != SqliteSettingsTree::OpenFailure::Damaged ||
      !fs::exists(fs::symlink_status(file, ec))) {
    return inMemory("The settings file \"" + file.string() + "\" cannot be used (" + first.error +
                    "). Quirvane starts with default settings, and changes made now will not "
                    "be saved.");
  }

  // Keep the damaged file (and its journal) for the user under a name of its own.
  fs::path aside = file;
  aside += ".damaged-" + Timestamp();
  for (int n = 2; fs::exists(aside, ec); ++n) {
    aside = file;
    aside += ".damaged-" + Timestamp() + "-" + std::to_string(n);
  }
  fs::rename(file, aside, ec);
  if (ec) {
    return inMemory("The settings file \"" + file.string() + "\" is damaged (" + first.error +
                    ") and could not be moved aside (" + ec.message() +
                    "). Quirvane starts with default settings, and changes made now will not "
                    "be saved.");
  }
  for (const char* suffix : {"-wal", "-journal"}) {
    fs::path side = file;
    side += suffix;
    if (fs::exists(side, ec)) {
      fs::path sideAside = aside;
      sideAside += suffix;
      fs::rename(side, sideAside, ec);
    }
  }
  fs::path shm = file;
  shm += "-shm";
  fs::remove(shm, ec);

  auto fresh = SqliteSettingsTree::Open(file);
  const std::string kept = "The settings file \"" + file.string() + "\" was damaged (" +
                           first.error + "). It has been kept as \"" + aside.string() +
                           "\" and Quirvane starts with default settings.";
  if (!fresh.tree) return inMemory(kept + " A new settings file could not be made (" + fresh.error + ").");
  store.tree = std::move(fresh.tree);
  store.persistent = true;
  store.message = kept;
  return store;
}

}  // namespace qv
