// Jet's message texts, keyed by number. Two spaces after a full stop inside a
// text are Jet's own.
#include "db/jet_errors.h"

#include <map>

#include "fs/failure.h"

namespace korvane::db {

namespace {

// "%s" marks where the name goes.
const std::map<int, std::string_view>& messageTable() {
  static const std::map<int, std::string_view> kMessages = {
      {3010, "Table '%s' already exists."},
      {3024, "Could not find file '%s'."},
      {3027, "Cannot update.  Database or object is read-only."},
      {3035, "System resource exceeded."},
      {3043, "Disk or network error."},
      {3044,
       "'%s' is not a valid path.  Make sure that the path name is spelled correctly and that "
       "you are connected to the server on which the file resides."},
      {3045, "Could not use '%s'; file already in use."},
      {3051,
       "The Microsoft Jet database engine cannot open the file '%s'.  It is already opened "
       "exclusively by another user, or you need permission to view its data."},
      {3061, "Too few parameters. Expected %s."},
      {3065, "Cannot execute a select query."},
      {3073, "Operation must use an updateable query."},
      {3075, "Syntax error (missing operator) in query expression '%s'."},
      {3078,
       "The Microsoft Jet database engine cannot find the input table or query '%s'.  Make "
       "sure it exists and that its name is spelled correctly."},
      {3079,
       "The specified field '%s' could refer to more than one table listed in the FROM clause "
       "of your SQL statement."},
      {3085, "Undefined function '%s' in expression."},
      {3086, "Could not delete from specified tables."},
      {3127,
       "The INSERT INTO statement contains the following unknown field name: '%s'.  Make sure "
       "you have typed the name correctly, and try the operation again."},
      {3128, "Specify the table containing the records you want to delete."},
      {3129,
       "Invalid SQL statement; expected 'DELETE', 'INSERT', 'PROCEDURE', 'SELECT', or "
       "'UPDATE'."},
      {3130, "Syntax error in DELETE statement."},
      {3131, "Syntax error in FROM clause."},
      {3134, "Syntax error in INSERT INTO statement."},
      {3138, "Syntax error in ORDER BY clause."},
      {3141,
       "The SELECT statement includes a reserved word or an argument name that is misspelled "
       "or missing, or the punctuation is incorrect."},
      {3142, "Characters found after end of SQL statement."},
      {3144, "Syntax error in UPDATE statement."},
      {3164, "Field cannot be updated."},
      {3191, "Cannot define field more than once."},
      {3192, "Could not find output table '%s'."},
      {3204, "Database already exists."},
      {3211,
       "The database engine could not lock table '%s' because it is already in use by another "
       "person or process."},
      {3251, "Operation is not supported for this type of object."},
      {3265, "Item not found in this collection."},
      {3283, "Primary key already exists."},
      {3284, "Index already exists."},
      {3290, "Syntax error in CREATE TABLE statement."},
      {3291, "Syntax error in CREATE INDEX statement."},
      {3292, "Syntax error in field definition."},
      {3295, "Syntax error in DROP TABLE or DROP INDEX."},
      {3343, "Unrecognized database format '%s'."},
      {3346, "Number of query values and destination fields are not the same."},
      {3371, "Cannot find table or constraint."},
      {3376, "Table '%s' does not exist."},
      {3420, "Object invalid or no longer set."},
  };
  return kMessages;
}

}  // namespace

std::string jetMessage(int number, std::string_view name) {
  const auto& table = messageTable();
  auto it = table.find(number);
  if (it == table.end()) return "Reserved error (" + std::to_string(number) + ").";
  std::string text(it->second);
  if (auto at = text.find("%s"); at != std::string::npos) text.replace(at, 2, name);
  return text;
}

void raiseJet(int number, std::string_view name) {
  throw Failure(number, jetMessage(number, name));
}

void raiseSyntax(int number, std::string_view nearText) {
  std::string text = jetMessage(number, nearText);
  if (number != jeterr::kSyntaxExpression) {
    text += nearText.empty() ? std::string("  (at the end of the statement)")
                             : "  (near '" + std::string(nearText) + "')";
  }
  throw Failure(number, text);
}

}  // namespace korvane::db
