// Jet's error numbers and message texts, and the one way to raise them.
//
// Every failure of the engine is a korvane::Failure carrying Jet's number and
// Jet's own message text, with the table, field, file or text filled in where
// Jet names one. The command frame only looks at the number (3078 goes on).
#pragma once

#include <string>
#include <string_view>

namespace korvane::db {

namespace jeterr {
inline constexpr int kFileNotFound = 3024;
inline constexpr int kInvalidPath = 3044;
inline constexpr int kFileInUse = 3045;
inline constexpr int kCannotOpen = 3051;
inline constexpr int kNotADatabase = 3343;
inline constexpr int kInputTableNotFound = 3078;
inline constexpr int kOutputTableNotFound = 3192;
inline constexpr int kUnknownInsertField = 3127;
inline constexpr int kTooFewParameters = 3061;
inline constexpr int kDeleteNeedsTable = 3128;
inline constexpr int kCannotDeleteFromTables = 3086;
inline constexpr int kItemNotFound = 3265;
inline constexpr int kTableInUse = 3211;
inline constexpr int kReadOnly = 3027;
inline constexpr int kInvalidStatement = 3129;
inline constexpr int kSyntaxFrom = 3131;
inline constexpr int kSyntaxDelete = 3130;
inline constexpr int kSyntaxInsert = 3134;
inline constexpr int kSyntaxUpdate = 3144;
inline constexpr int kSyntaxExpression = 3075;
inline constexpr int kCharactersAfterEnd = 3142;
inline constexpr int kSyntaxSelect = 3141;
inline constexpr int kSyntaxOrderBy = 3138;
inline constexpr int kSyntaxCreateTable = 3290;
inline constexpr int kSyntaxCreateIndex = 3291;
inline constexpr int kSyntaxFieldDefinition = 3292;
inline constexpr int kSyntaxDrop = 3295;
inline constexpr int kCannotExecuteSelect = 3065;
inline constexpr int kAmbiguousField = 3079;
inline constexpr int kUndefinedFunction = 3085;
inline constexpr int kValueCountMismatch = 3346;
inline constexpr int kTableExists = 3010;
inline constexpr int kTableDoesNotExist = 3376;
inline constexpr int kIndexExists = 3284;
inline constexpr int kFieldDefinedTwice = 3191;
inline constexpr int kObjectInvalid = 3420;
inline constexpr int kDatabaseExists = 3204;
inline constexpr int kDiskFull = 3035;  // "System resource exceeded."
inline constexpr int kDiskIo = 3043;    // "Disk or network error."
inline constexpr int kNotSupported = 3251;
inline constexpr int kNotUpdatable = 3073;
inline constexpr int kFieldNotUpdatable = 3164;
inline constexpr int kPrimaryKeyExists = 3283;
inline constexpr int kCannotFindTableOrConstraint = 3371;
}  // namespace jeterr

// Jet's message text for `number`, with `name` put where Jet names something
// (a table, a field, a file, the text near a syntax error, a count).
std::string jetMessage(int number, std::string_view name = {});

// Raises korvane::Failure(number, jetMessage(number, name)).
[[noreturn]] void raiseJet(int number, std::string_view name = {});

// Raises a syntax error: Jet's text for `number`, followed by the text near
// the fault so that the author finds it.
[[noreturn]] void raiseSyntax(int number, std::string_view nearText);

}  // namespace korvane::db
