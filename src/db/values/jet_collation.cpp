// Jet's text comparison and the SQL functions the generated statements call.
#include "db/values/jet_collation.h"

#include <sqlite3.h>

#include <string>

#include "db/values/jet_convert.h"
#include "text/case_fold.h"

namespace korvane::db {

namespace {

// Matches folded text against a folded Jet pattern.
bool likeMatch(const std::u32string& s, size_t si, const std::u32string& p, size_t pi) {
  while (pi < p.size()) {
    const char32_t pc = p[pi];
    if (pc == U'*') {
      while (pi < p.size() && p[pi] == U'*') ++pi;
      if (pi == p.size()) return true;
      for (size_t k = si; k <= s.size(); ++k)
        if (likeMatch(s, k, p, pi)) return true;
      return false;
    }
    if (si == s.size()) return false;
    const char32_t sc = s[si];
    if (pc == U'?') {
      ++pi;
    } else if (pc == U'#') {
      if (sc < U'0' || sc > U'9') return false;
      ++pi;
    } else if (pc == U'[') {
      size_t close = p.find(U']', pi + 1);
      if (close == std::u32string::npos) return false;  // Jet rejects it; nothing matches
      bool negate = pi + 1 < close && p[pi + 1] == U'!';
      bool found = false;
      for (size_t k = pi + 1 + (negate ? 1 : 0); k < close; ++k) {
        if (k + 2 < close && p[k + 1] == U'-') {
          found = found || (sc >= p[k] && sc <= p[k + 2]);
          k += 2;
        } else {
          found = found || sc == p[k];
        }
      }
      if (found == negate) return false;
      pi = close + 1;
    } else {
      if (sc != pc) return false;
      ++pi;
    }
    ++si;
  }
  return si == s.size();
}

std::string_view textOf(sqlite3_value* v) {
  auto data = reinterpret_cast<const char*>(sqlite3_value_text(v));
  return data ? std::string_view(data, sqlite3_value_bytes(v)) : std::string_view();
}

// A number as Jet writes it in text.
std::string numberText(sqlite3_value* v) {
  if (sqlite3_value_type(v) == SQLITE_INTEGER) return std::to_string(sqlite3_value_int64(v));
  return jetNumberText(sqlite3_value_double(v));
}

std::string valueText(sqlite3_value* v) {
  switch (sqlite3_value_type(v)) {
    case SQLITE_INTEGER:
    case SQLITE_FLOAT:
      return numberText(v);
    case SQLITE_NULL:
      return "";
    default:
      return std::string(textOf(v));
  }
}

int collate(void*, int n1, const void* a, int n2, const void* b) {
  return jetCompare(std::string_view(static_cast<const char*>(a), n1),
                    std::string_view(static_cast<const char*>(b), n2));
}

void likeFunction(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL)
    return sqlite3_result_null(ctx);
  sqlite3_result_int(ctx, jetLike(valueText(argv[0]), valueText(argv[1])) ? 1 : 0);
}

// '&': Null counts as empty text, and Null & Null is Null.
void concatFunction(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (sqlite3_value_type(argv[0]) == SQLITE_NULL && sqlite3_value_type(argv[1]) == SQLITE_NULL)
    return sqlite3_result_null(ctx);
  std::string text = valueText(argv[0]) + valueText(argv[1]);
  sqlite3_result_text(ctx, text.c_str(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
}

}  // namespace

int jetCompare(std::string_view a, std::string_view b) {
  return text::compareAsJet(a, b);
}

bool sameName(std::string_view a, std::string_view b) {
  return jetCompare(a, b) == 0;
}

bool jetLike(std::string_view text, std::string_view pattern) {
  return likeMatch(text::folded(text), 0, text::folded(pattern), 0);
}

int registerJetFunctions(sqlite3* db) {
  const std::string collation(kJetCollation);
  int rc = sqlite3_create_collation(db, collation.c_str(), SQLITE_UTF8, nullptr, collate);
  struct Function {
    const char* name;
    int args;
    void (*call)(sqlite3_context*, int, sqlite3_value**);
  };
  static constexpr Function kFunctions[] = {
      {"jet_like", 2, likeFunction},
      {"jet_concat", 2, concatFunction},
  };
  for (const auto& f : kFunctions) {
    if (rc != SQLITE_OK) break;
    rc = sqlite3_create_function(db, f.name, f.args, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                                 f.call, nullptr, nullptr);
  }
  return rc == SQLITE_OK ? registerJetConversions(db) : rc;
}

std::unique_ptr<sqlite::Connection> openJetConnection(const std::filesystem::path& hostPath,
                                                      const std::string& displayName,
                                                      sqlite::OpenMode mode) {
  auto connection = std::make_unique<sqlite::Connection>(hostPath, displayName, mode);
  if (const int rc = registerJetFunctions(connection->handle()); rc != SQLITE_OK)
    connection->raise(rc);
  return connection;
}

}  // namespace korvane::db
