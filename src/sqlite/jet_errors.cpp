// Raising Jet's errors with their texts filled in.
#include "sqlite/jet_errors.h"

#include "fs/failure.h"

namespace korvane {

namespace {

std::string messageOf(const JetError& error, std::string_view name) {
  std::string text(error.text);
  if (auto at = text.find("%s"); at != std::string::npos) text.replace(at, 2, name);
  return text;
}

}  // namespace

void raiseJet(const JetError& error, std::string_view name) {
  throw Failure(error.number, messageOf(error, name));
}

void raiseJet(const JetError& error, std::string_view name, std::string_view detail) {
  throw Failure(error.number, messageOf(error, name) + " (" + std::string(detail) + ")");
}

void raiseSyntax(const JetError& error, std::string_view nearText) {
  std::string text = messageOf(error, nearText);
  if (error.number != jeterr::kSyntaxExpression.number) {
    text += nearText.empty() ? std::string("  (at the end of the statement)")
                             : "  (near '" + std::string(nearText) + "')";
  }
  throw Failure(error.number, text);
}

}  // namespace korvane
