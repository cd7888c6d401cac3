// Jet's errors: the one table of the numbers the engine raises and Jet's
// message texts, and the one way to raise them.
//
// Every failure of the engine is a korvane::Failure carrying Jet's number and
// Jet's own message text, with the table, field, file or text filled in where
// Jet names one. Two spaces after a full stop inside a text are Jet's own.
// The command frame only looks at the number (3078 goes on).
#pragma once

#include <string>
#include <string_view>

namespace korvane {

struct JetError {
  int number;
  std::string_view text;  // "%s" marks where the name goes
};

// Raises korvane::Failure(error.number, Jet's text with `name` filled in).
[[noreturn]] void raiseJet(const JetError& error, std::string_view name = {});

// The same with `detail` (what went wrong, in our words) after Jet's text.
[[noreturn]] void raiseJet(const JetError& error, std::string_view name, std::string_view detail);

// Raises a syntax error: Jet's text for `error`, followed by the text near
// the fault so that the author finds it.
[[noreturn]] void raiseSyntax(const JetError& error, std::string_view nearText);

namespace jeterr {
// One entry a line, by number, so the table reads as one.
// clang-format off
inline constexpr JetError kReservedError = {3000, "Reserved error (%s); there is no message for this error."};
inline constexpr JetError kTableExists = {3010, "Table '%s' already exists."};
inline constexpr JetError kFileNotFound = {3024, "Could not find file '%s'."};
inline constexpr JetError kReadOnly = {3027, "Cannot update.  Database or object is read-only."};
inline constexpr JetError kDiskFull = {3035, "System resource exceeded."};
inline constexpr JetError kDiskIo = {3043, "Disk or network error."};
inline constexpr JetError kInvalidPath = {3044, "'%s' is not a valid path.  Make sure that the path name is spelled correctly and that you are connected to the server on which the file resides."};
inline constexpr JetError kFileInUse = {3045, "Could not use '%s'; file already in use."};
inline constexpr JetError kCannotOpen = {3051, "The Microsoft Jet database engine cannot open the file '%s'.  It is already opened exclusively by another user, or you need permission to view its data."};
inline constexpr JetError kTooFewParameters = {3061, "Too few parameters. Expected %s."};
inline constexpr JetError kCannotExecuteSelect = {3065, "Cannot execute a select query."};
inline constexpr JetError kNotUpdatable = {3073, "Operation must use an updateable query."};
inline constexpr JetError kSyntaxExpression = {3075, "Syntax error (missing operator) in query expression '%s'."};
inline constexpr JetError kInputTableNotFound = {3078, "The Microsoft Jet database engine cannot find the input table or query '%s'.  Make sure it exists and that its name is spelled correctly."};
inline constexpr JetError kAmbiguousField = {3079, "The specified field '%s' could refer to more than one table listed in the FROM clause of your SQL statement."};
inline constexpr JetError kUndefinedFunction = {3085, "Undefined function '%s' in expression."};
inline constexpr JetError kCannotDeleteFromTables = {3086, "Could not delete from specified tables."};
inline constexpr JetError kUnknownInsertField = {3127, "The INSERT INTO statement contains the following unknown field name: '%s'.  Make sure you have typed the name correctly, and try the operation again."};
inline constexpr JetError kDeleteNeedsTable = {3128, "Specify the table containing the records you want to delete."};
inline constexpr JetError kInvalidStatement = {3129, "Invalid SQL statement; expected 'DELETE', 'INSERT', 'PROCEDURE', 'SELECT', or 'UPDATE'."};
inline constexpr JetError kSyntaxDelete = {3130, "Syntax error in DELETE statement."};
inline constexpr JetError kSyntaxFrom = {3131, "Syntax error in FROM clause."};
inline constexpr JetError kSyntaxInsert = {3134, "Syntax error in INSERT INTO statement."};
inline constexpr JetError kSyntaxOrderBy = {3138, "Syntax error in ORDER BY clause."};
inline constexpr JetError kSyntaxSelect = {3141, "The SELECT statement includes a reserved word or an argument name that is misspelled or missing, or the punctuation is incorrect."};
inline constexpr JetError kCharactersAfterEnd = {3142, "Characters found after end of SQL statement."};
inline constexpr JetError kSyntaxUpdate = {3144, "Syntax error in UPDATE statement."};
inline constexpr JetError kFieldNotUpdatable = {3164, "Field cannot be updated."};
inline constexpr JetError kFieldDefinedTwice = {3191, "Cannot define field more than once."};
inline constexpr JetError kOutputTableNotFound = {3192, "Could not find output table '%s'."};
inline constexpr JetError kDatabaseExists = {3204, "Database already exists."};
inline constexpr JetError kNotInTransaction = {3246, "Operation not supported in transactions."};
inline constexpr JetError kItemNotFound = {3265, "Item not found in this collection."};
inline constexpr JetError kPrimaryKeyExists = {3283, "Primary key already exists."};
inline constexpr JetError kIndexExists = {3284, "Index already exists."};
inline constexpr JetError kSyntaxCreateTable = {3290, "Syntax error in CREATE TABLE statement."};
inline constexpr JetError kSyntaxCreateIndex = {3291, "Syntax error in CREATE INDEX statement."};
inline constexpr JetError kSyntaxFieldDefinition = {3292, "Syntax error in field definition."};
inline constexpr JetError kSyntaxDrop = {3295, "Syntax error in DROP TABLE or DROP INDEX."};
inline constexpr JetError kNotADatabase = {3343, "Unrecognized database format '%s'."};
inline constexpr JetError kValueCountMismatch = {3346, "Number of query values and destination fields are not the same."};
inline constexpr JetError kCannotFindTableOrConstraint = {3371, "Cannot find table or constraint."};
inline constexpr JetError kTableDoesNotExist = {3376, "Table '%s' does not exist."};
inline constexpr JetError kObjectInvalid = {3420, "Object invalid or no longer set."};
// clang-format on
}  // namespace jeterr

}  // namespace korvane
