// Splits a script into statements and directives and runs them through the
// engine (see script_builder.h for the script's form).
#include "db/engine/script_builder.h"

#include <fstream>
#include <sstream>

#include "db/opening/database_opener.h"
#include "db/statements/tokenizer.h"
#include "fs/failure.h"
#include "sqlite/jet_errors.h"
#include "text/case_fold.h"

namespace korvane::db {

namespace {

// `line` without a "--" comment; quotes and brackets are respected, and a
// quote left open continues on the next line (`openQuote` carries it).
std::string withoutComment(const std::string& line, char& openQuote) {
  for (size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (openQuote) {
      if (c == openQuote) openQuote = 0;
    } else if (c == '\'' || c == '"' || c == '[') {
      openQuote = c == '[' ? ']' : c;
    } else if (c == '-' && i + 1 < line.size() && line[i + 1] == '-') {
      return line.substr(0, i);
    }
  }
  return line;
}

std::string trimmed(const std::string& s) {
  size_t start = s.find_first_not_of(" \t\r\n");
  if (start == std::string::npos) return "";
  size_t end = s.find_last_not_of(" \t\r\n");
  return s.substr(start, end - start + 1);
}

// @caption|@description Table.Field 'text'
void runDirective(Database& db, const std::string& text) {
  std::vector<Token> t = tokenize(text.substr(1));
  auto isName = [](const Token& tok) {
    return tok.kind == TokenKind::kWord || tok.kind == TokenKind::kName;
  };
  const bool wellFormed = t.size() >= 6 && t[0].kind == TokenKind::kWord && isName(t[1]) &&
                          t[2].isSymbol(".") && isName(t[3]) && t[4].kind == TokenKind::kText &&
                          (t[5].kind == TokenKind::kEnd || t[5].isSymbol(";"));
  std::string property;
  auto directive = [&](std::string_view word) {
    return wellFormed && text::compareIgnoringCase(t[0].text, word) == 0;
  };
  if (directive("caption")) property = "Caption";
  if (directive("description")) property = "Description";
  if (property.empty()) raiseSyntax(jeterr::kInvalidStatement, text);
  db.setFieldProperty(t[1].text, t[3].text, property, t[4].text);
}

void runPiece(Database& db, const std::string& piece, int line) {
  try {
    if (piece.front() == '@')
      runDirective(db, piece);
    else
      db.execute(piece);
  } catch (const Failure& f) {
    throw Failure(f.number(), f.text() + " (script line " + std::to_string(line) + ")");
  }
}

}  // namespace

void runScript(Database& db, std::string_view script) {
  std::istringstream in{std::string(script)};
  std::string line, pending;
  int lineNumber = 0, pieceLine = 0;
  char openQuote = 0;
  while (std::getline(in, line)) {
    ++lineNumber;
    std::string code = withoutComment(line, openQuote);
    if (pending.empty() && trimmed(code).empty()) continue;
    if (pending.empty()) pieceLine = lineNumber;
    pending += code + "\n";
    const std::string piece = trimmed(pending);
    if (openQuote == 0 && !piece.empty() && piece.back() == ';') {
      runPiece(db, piece, pieceLine);
      pending.clear();
    }
  }
  if (!trimmed(pending).empty()) runPiece(db, trimmed(pending), pieceLine);
}

void buildDatabaseFromScriptFile(const std::filesystem::path& newHostFile,
                                 const std::filesystem::path& scriptFile) {
  std::ifstream in(scriptFile, std::ios::binary);
  if (!in) raiseJet(jeterr::kFileNotFound, scriptFile.string());
  std::stringstream script;
  script << in.rdbuf();
  buildDatabaseFromScript(newHostFile, script.str());
}

void buildDatabaseFromScript(const std::filesystem::path& newHostFile,
                             std::string_view scriptText) {
  OpenRequest request;
  request.windowsPath = newHostFile.string();
  request.hostPath = newHostFile;
  request.create = true;
  auto db = openDatabaseFile(request);
  try {
    db->inTransaction([&] { runScript(*db, scriptText); });
    db->close();
  } catch (const Failure&) {
    db.reset();
    std::error_code ec;
    std::filesystem::remove(newHostFile, ec);
    throw;
  }
}

}  // namespace korvane::db
