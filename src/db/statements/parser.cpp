// Recursive-descent parser of Jet SQL. Each parse function carries the piece
// of grammar it reads; words in capitals are keywords (any letter case), a
// "name" is a plain word or a [bracketed name].
#include "db/statements/parser.h"

#include "db/statements/tokenizer.h"
#include "db/values/jet_convert.h"
#include "db/values/jet_date.h"
#include "invariant/invariant.h"
#include "sqlite/jet_errors.h"

namespace korvane::db {

namespace {

class Parser {
 public:
  explicit Parser(std::string_view sql) : sql_(sql), tokens_(tokenize(sql)) {
    KORVANE_ASSERT(!tokens_.empty() && tokens_.back().kind == TokenKind::kEnd);
  }

  // statement := select | insert | delete | update | create | drop   [';']
  Statement parse() {
    Statement result = parseAnyStatement();
    acceptSymbol(";");
    if (peek().kind != TokenKind::kEnd) raiseSyntax(jeterr::kCharactersAfterEnd, nearText(peek()));
    return result;
  }

 private:
  // ---- tokens -----------------------------------------------------------
  const Token& peek(size_t ahead = 0) const {
    size_t i = std::min(pos_ + ahead, tokens_.size() - 1);
    return tokens_[i];
  }
  const Token& next() {
    const Token& t = peek();
    if (pos_ < tokens_.size() - 1) ++pos_;
    return t;
  }
  bool acceptWord(Keyword word) {
    if (!peek().is(word)) return false;
    next();
    return true;
  }
  bool acceptSymbol(std::string_view symbol) {
    if (!peek().isSymbol(symbol)) return false;
    next();
    return true;
  }
  void expectWord(Keyword word) {
    if (!acceptWord(word)) fail();
  }
  void expectSymbol(std::string_view symbol) {
    if (!acceptSymbol(symbol)) fail();
  }
  std::string nearText(const Token& t) const { return std::string(sql_.substr(t.offset, 40)); }

  // Fails with the number of the clause being read, quoting the text there.
  [[noreturn]] void fail() const {
    if (inExpression_) {
      size_t end = std::min(sql_.size(), peek().offset + peek().length);
      raiseSyntax(jeterr::kSyntaxExpression, sql_.substr(expressionStart_, end - expressionStart_));
    }
    raiseSyntax(clauseError_, nearText(peek()));
  }

  // name := word (not reserved) | [bracketed]
  bool atName() const {
    const Token& t = peek();
    return t.kind == TokenKind::kName || (t.kind == TokenKind::kWord && !isReserved(t.keyword));
  }
  std::string parseName() {
    if (!atName()) fail();
    return next().text;
  }

  // ---- statements ---------------------------------------------------------
  Statement parseAnyStatement() {
    const Token& first = peek();
    switch (first.keyword) {
      case Keyword::kSelect:
        clauseError_ = jeterr::kSyntaxSelect;
        return parseSelect();
      case Keyword::kInsert:
        return parseInsert();
      case Keyword::kDelete:
        return parseDelete();
      case Keyword::kUpdate:
        return parseUpdate();
      case Keyword::kCreate:
        return parseCreate();
      case Keyword::kDrop:
        return parseDrop();
      default:
        raiseSyntax(jeterr::kInvalidStatement, nearText(first));
    }
  }

  // select := SELECT [ALL | DISTINCT | DISTINCTROW] item {',' item}
  //           FROM source [WHERE expr] [ORDER BY expr [ASC|DESC] {',' ...}]
  SelectStmt parseSelect() {
    const JetError outerError = clauseError_;
    expectWord(Keyword::kSelect);
    SelectStmt s;
    if (acceptWord(Keyword::kDistinctRow))
      s.quantifier = Quantifier::kDistinctRow;
    else if (acceptWord(Keyword::kDistinct))
      s.quantifier = Quantifier::kDistinct;
    else
      acceptWord(Keyword::kAll);
    do s.items.push_back(parseSelectItem(true));
    while (acceptSymbol(","));
    expectWord(Keyword::kFrom);
    s.from = parseFrom();
    clauseError_ = outerError;
    if (acceptWord(Keyword::kWhere)) s.where = parseExpression();
    if (acceptWord(Keyword::kOrder)) {
      clauseError_ = jeterr::kSyntaxOrderBy;
      expectWord(Keyword::kBy);
      do {
        OrderItem item;
        item.expr = parseExpression();
        if (acceptWord(Keyword::kDesc))
          item.descending = true;
        else
          acceptWord(Keyword::kAsc);
        s.orderBy.push_back(std::move(item));
      } while (acceptSymbol(","));
      clauseError_ = outerError;
    }
    return s;
  }

  // item := '*' | name '.' '*' | expr [[AS] alias]
  SelectItem parseSelectItem(bool allowAlias) {
    SelectItem item;
    item.offset = peek().offset;
    if (acceptSymbol("*")) {
      item.kind = SelectItem::Kind::kAll;
      return item;
    }
    if (atName() && peek(1).isSymbol(".") && peek(2).isSymbol("*")) {
      item.kind = SelectItem::Kind::kTableAll;
      item.qualifier = next().text;
      next();
      next();
      return item;
    }
    item.expr = parseExpression();
    if (allowAlias && acceptWord(Keyword::kAs)) item.alias = parseName();
    return item;
  }

  // insert := INSERT INTO name ['(' name {',' name} ')'] [IN 'file']
  //           (select | VALUES '(' expr {',' expr} ')')
  InsertStmt parseInsert() {
    clauseError_ = jeterr::kSyntaxInsert;
    expectWord(Keyword::kInsert);
    expectWord(Keyword::kInto);
    InsertStmt s;
    s.table = parseName();
    if (acceptSymbol("(")) {
      do s.columns.push_back(parseName());
      while (acceptSymbol(","));
      expectSymbol(")");
    }
    if (acceptWord(Keyword::kIn)) {
      if (peek().kind != TokenKind::kText) fail();
      s.inFile = next().text;
    }
    if (peek().is(Keyword::kSelect)) {
      s.select = std::make_unique<SelectStmt>(parseSelect());
    } else {
      expectWord(Keyword::kValues);
      expectSymbol("(");
      do s.values.push_back(parseExpression());
      while (acceptSymbol(","));
      expectSymbol(")");
    }
    return s;
  }

  // delete := DELETE [DISTINCTROW] [item {',' item}] FROM source [WHERE expr]
  DeleteStmt parseDelete() {
    clauseError_ = jeterr::kSyntaxDelete;
    expectWord(Keyword::kDelete);
    DeleteStmt s;
    s.distinctRow = acceptWord(Keyword::kDistinctRow);
    if (!peek().is(Keyword::kFrom)) {
      do s.items.push_back(parseSelectItem(false));
      while (acceptSymbol(","));
    }
    expectWord(Keyword::kFrom);
    s.from = parseFrom();
    clauseError_ = jeterr::kSyntaxDelete;
    if (acceptWord(Keyword::kWhere)) s.where = parseExpression();
    return s;
  }

  // update := UPDATE [DISTINCTROW] source SET assignment {',' assignment}
  //           [WHERE expr]
  // assignment := name ['.' name] '=' expr
  UpdateStmt parseUpdate() {
    clauseError_ = jeterr::kSyntaxUpdate;
    expectWord(Keyword::kUpdate);
    UpdateStmt s;
    s.distinctRow = acceptWord(Keyword::kDistinctRow);
    s.source = parseSource();
    clauseError_ = jeterr::kSyntaxUpdate;
    expectWord(Keyword::kSet);
    do {
      Assignment a;
      a.offset = peek().offset;
      a.column = parseName();
      if (acceptSymbol(".")) {
        a.qualifier = std::move(a.column);
        a.column = parseName();
      }
      expectSymbol("=");
      a.value = parseExpression();
      s.assignments.push_back(std::move(a));
    } while (acceptSymbol(","));
    if (acceptWord(Keyword::kWhere)) s.where = parseExpression();
    return s;
  }

  // ---- FROM -----------------------------------------------------------------
  // A list of tables (FROM a, b) is outside the subset: only joins.
  std::unique_ptr<Source> parseFrom() {
    clauseError_ = jeterr::kSyntaxFrom;
    auto source = parseSource();
    if (peek().isSymbol(",")) raiseSyntax(jeterr::kSyntaxFrom, nearText(peek()));
    return source;
  }

  // source := primary { (INNER | LEFT [OUTER] | RIGHT [OUTER]) JOIN primary ON expr }
  std::unique_ptr<Source> parseSource() {
    const JetError outerError = clauseError_;
    clauseError_ = jeterr::kSyntaxFrom;
    auto left = parseSourcePrimary();
    for (;;) {
      JoinKind kind;
      if (acceptWord(Keyword::kInner)) {
        kind = JoinKind::kInner;
      } else if (acceptWord(Keyword::kLeft)) {
        kind = JoinKind::kLeft;
        acceptWord(Keyword::kOuter);
      } else if (acceptWord(Keyword::kRight)) {
        kind = JoinKind::kRight;
        acceptWord(Keyword::kOuter);
      } else {
        break;
      }
      expectWord(Keyword::kJoin);
      auto join = std::make_unique<Source>();
      join->isJoin = true;
      join->join = kind;
      join->left = std::move(left);
      join->right = parseSourcePrimary();
      expectWord(Keyword::kOn);
      join->on = parseExpression();
      left = std::move(join);
    }
    clauseError_ = outerError;
    return left;
  }

  // primary := '(' source ')' | name [[AS] alias]
  std::unique_ptr<Source> parseSourcePrimary() {
    if (acceptSymbol("(")) {
      auto inner = parseSource();
      clauseError_ = jeterr::kSyntaxFrom;
      expectSymbol(")");
      return inner;
    }
    auto table = std::make_unique<Source>();
    table->offset = peek().offset;
    table->table = parseName();
    if (acceptWord(Keyword::kAs))
      table->alias = parseName();
    else if (atName())
      table->alias = parseName();
    return table;
  }

  // ---- expressions ------------------------------------------------------------
  // expr := and {OR and}
  ExprPtr parseExpression() {
    const bool outer = !inExpression_;
    if (outer) {
      inExpression_ = true;
      expressionStart_ = peek().offset;
    }
    auto e = parseOr();
    if (outer) inExpression_ = false;
    return e;
  }

  ExprPtr binary(BinaryOp op, ExprPtr left, ExprPtr right) {
    auto e = std::make_unique<Expr>();
    e->kind = ExprKind::kBinary;
    e->op = op;
    e->offset = left->offset;
    e->args.push_back(std::move(left));
    e->args.push_back(std::move(right));
    return e;
  }

  ExprPtr parseOr() {
    auto left = parseAnd();
    while (acceptWord(Keyword::kOr)) left = binary(BinaryOp::kOr, std::move(left), parseAnd());
    return left;
  }

  // and := not {AND not}
  ExprPtr parseAnd() {
    auto left = parseNot();
    while (acceptWord(Keyword::kAnd)) left = binary(BinaryOp::kAnd, std::move(left), parseNot());
    return left;
  }

  // not := NOT not | predicate
  ExprPtr parseNot() {
    if (peek().is(Keyword::kNot)) {
      auto e = std::make_unique<Expr>();
      e->offset = next().offset;
      e->kind = ExprKind::kNot;
      e->args.push_back(parseNot());
      return e;
    }
    return parsePredicate();
  }

  // predicate := concat [ ('=' | '<>' | '<' | '>' | '<=' | '>=') concat
  //                     | IS [NOT] NULL
  //                     | [NOT] LIKE concat
  //                     | [NOT] IN '(' expr {',' expr} ')'
  //                     | [NOT] BETWEEN concat AND concat ]
  ExprPtr parsePredicate() {
    auto left = parseConcat();
    for (BinaryOp op : kComparisons)
      if (acceptSymbol(symbolOf(op))) return binary(op, std::move(left), parseConcat());
    if (acceptWord(Keyword::kIs)) {
      auto e = wrap(ExprKind::kIsNull, std::move(left));
      e->negated = acceptWord(Keyword::kNot);
      expectWord(Keyword::kNull);
      return e;
    }
    bool negated = false;
    if (peek().is(Keyword::kNot) &&
        (peek(1).is(Keyword::kLike) || peek(1).is(Keyword::kIn) || peek(1).is(Keyword::kBetween))) {
      next();
      negated = true;
    }
    if (acceptWord(Keyword::kLike)) {
      auto e = wrap(ExprKind::kLike, std::move(left));
      e->args.push_back(parseConcat());
      e->negated = negated;
      return e;
    }
    if (acceptWord(Keyword::kIn)) {
      auto e = wrap(ExprKind::kIn, std::move(left));
      expectSymbol("(");
      do e->args.push_back(parseExpression());
      while (acceptSymbol(","));
      expectSymbol(")");
      e->negated = negated;
      return e;
    }
    if (acceptWord(Keyword::kBetween)) {
      auto e = wrap(ExprKind::kBetween, std::move(left));
      e->args.push_back(parseConcat());
      expectWord(Keyword::kAnd);
      e->args.push_back(parseConcat());
      e->negated = negated;
      return e;
    }
    return left;
  }

  ExprPtr wrap(ExprKind kind, ExprPtr first) {
    auto e = std::make_unique<Expr>();
    e->kind = kind;
    e->offset = first->offset;
    e->args.push_back(std::move(first));
    return e;
  }

  // concat := additive {'&' additive}
  ExprPtr parseConcat() {
    auto left = parseAdditive();
    while (acceptSymbol("&")) left = binary(BinaryOp::kConcat, std::move(left), parseAdditive());
    return left;
  }

  // additive := term {('+' | '-') term}
  ExprPtr parseAdditive() {
    auto left = parseTerm();
    for (;;) {
      if (acceptSymbol("+"))
        left = binary(BinaryOp::kAdd, std::move(left), parseTerm());
      else if (acceptSymbol("-"))
        left = binary(BinaryOp::kSubtract, std::move(left), parseTerm());
      else
        return left;
    }
  }

  // term := unary {('*' | '/') unary}
  ExprPtr parseTerm() {
    auto left = parseUnary();
    for (;;) {
      if (acceptSymbol("*"))
        left = binary(BinaryOp::kMultiply, std::move(left), parseUnary());
      else if (acceptSymbol("/"))
        left = binary(BinaryOp::kDivide, std::move(left), parseUnary());
      else
        return left;
    }
  }

  // unary := '-' unary | '+' unary | primary
  ExprPtr parseUnary() {
    if (peek().isSymbol("-")) {
      auto e = std::make_unique<Expr>();
      e->offset = next().offset;
      e->kind = ExprKind::kNegate;
      e->args.push_back(parseUnary());
      return e;
    }
    if (acceptSymbol("+")) return parseUnary();
    return parsePrimary();
  }

  // primary := number | 'text' | "text" | #date# | NULL | TRUE | FALSE
  //          | '(' expr ')' | name ['.' name]
  ExprPtr parsePrimary() {
    auto e = std::make_unique<Expr>();
    const Token& t = peek();
    e->offset = t.offset;
    switch (t.kind) {
      case TokenKind::kNumber:
        e->kind = ExprKind::kNumber;
        e->value = next().text;
        return e;
      case TokenKind::kText:
        e->kind = ExprKind::kText;
        e->value = next().text;
        return e;
      case TokenKind::kDate:
        return parseDateLiteral();
      default:
        break;
    }
    if (acceptWord(Keyword::kNull)) {
      e->kind = ExprKind::kNull;
      return e;
    }
    if (t.is(Keyword::kTrue) || t.is(Keyword::kFalse)) {
      e->kind = next().is(Keyword::kTrue) ? ExprKind::kTrue : ExprKind::kFalse;
      return e;
    }
    if (acceptSymbol("(")) {
      e = parseExpression();
      expectSymbol(")");
      return e;
    }
    if (t.kind == TokenKind::kWord && peek(1).isSymbol("(") && !isReserved(t.keyword))
      raiseJet(jeterr::kUndefinedFunction, t.text);
    e->kind = ExprKind::kColumn;
    e->name = parseName();
    if (acceptSymbol(".")) {
      e->qualifier = std::move(e->name);
      e->name = parseName();
    }
    return e;
  }

  ExprPtr parseDateLiteral() {
    const Token& t = next();
    auto value = parseJetDate(t.text);
    if (!value) raiseSyntax(jeterr::kSyntaxExpression, sql_.substr(t.offset, t.length));
    auto e = std::make_unique<Expr>();
    e->kind = ExprKind::kNumber;
    e->isDate = true;
    e->offset = t.offset;
    e->value = sqlNumber(*value);
    return e;
  }

  // ---- DDL ----------------------------------------------------------------------
  // create := CREATE TABLE name '(' element {',' element} ')'
  //         | CREATE [UNIQUE] INDEX name ON name '(' name [ASC|DESC] {',' ...} ')'
  //           [WITH (PRIMARY | DISALLOW NULL | IGNORE NULL)]
  Statement parseCreate() {
    expectWord(Keyword::kCreate);
    if (peek().is(Keyword::kTable)) return parseCreateTable();
    clauseError_ = jeterr::kSyntaxCreateIndex;
    CreateIndexStmt s;
    s.unique = acceptWord(Keyword::kUnique);
    if (!acceptWord(Keyword::kIndex)) raiseSyntax(jeterr::kInvalidStatement, nearText(peek()));
    s.index = parseName();
    expectWord(Keyword::kOn);
    s.table = parseName();
    expectSymbol("(");
    do {
      IndexColumn c;
      c.name = parseName();
      if (acceptWord(Keyword::kDesc))
        c.descending = true;
      else
        acceptWord(Keyword::kAsc);
      s.columns.push_back(std::move(c));
    } while (acceptSymbol(","));
    expectSymbol(")");
    if (acceptWord(Keyword::kWith)) {
      if (acceptWord(Keyword::kPrimary)) {
        s.primary = true;
      } else if (acceptWord(Keyword::kDisallow)) {
        expectWord(Keyword::kNull);
        s.disallowNull = true;
      } else {
        expectWord(Keyword::kIgnore);
        expectWord(Keyword::kNull);
      }
    }
    return s;
  }

  // element := CONSTRAINT name (PRIMARY KEY | UNIQUE) '(' name {',' name} ')'
  //          | PRIMARY KEY '(' ... ')' | UNIQUE '(' ... ')'
  //          | column
  CreateTableStmt parseCreateTable() {
    clauseError_ = jeterr::kSyntaxCreateTable;
    expectWord(Keyword::kTable);
    CreateTableStmt s;
    s.table = parseName();
    expectSymbol("(");
    do {
      if (peek().is(Keyword::kConstraint) || peek().is(Keyword::kPrimary) ||
          peek().is(Keyword::kUnique))
        s.keys.push_back(parseTableKey());
      else
        s.columns.push_back(parseColumnDef());
    } while (acceptSymbol(","));
    clauseError_ = jeterr::kSyntaxCreateTable;
    expectSymbol(")");
    return s;
  }

  KeyConstraint parseTableKey() {
    if (acceptWord(Keyword::kConstraint)) parseName();
    KeyConstraint k;
    if (acceptWord(Keyword::kPrimary)) {
      expectWord(Keyword::kKey);
      k.primaryKey = true;
    } else {
      expectWord(Keyword::kUnique);
    }
    expectSymbol("(");
    do k.columns.push_back(parseName());
    while (acceptSymbol(","));
    expectSymbol(")");
    return k;
  }

  // column := name type ['(' number [',' number] ')']
  //           { NOT NULL | DEFAULT literal | [CONSTRAINT name] (PRIMARY KEY | UNIQUE) }
  ColumnDef parseColumnDef() {
    clauseError_ = jeterr::kSyntaxFieldDefinition;
    ColumnDef c;
    c.name = parseName();
    if (peek().kind != TokenKind::kWord) fail();
    auto type = jetTypeOfDdlWord(peek().text);
    if (!type) fail();
    next();
    c.type = *type;
    if (acceptSymbol("(")) {
      c.size = parseSmallNumber();
      if (acceptSymbol(",")) c.scale = parseSmallNumber();
      expectSymbol(")");
    }
    for (;;) {
      if (acceptWord(Keyword::kNot)) {
        expectWord(Keyword::kNull);
        c.notNull = true;
      } else if (acceptWord(Keyword::kDefault)) {
        c.defaultValue = parseUnary();
        if (!isLiteral(*c.defaultValue)) fail();
      } else if (acceptWord(Keyword::kConstraint)) {
        parseName();
        parseColumnKey(c);
      } else if (peek().is(Keyword::kPrimary) || peek().is(Keyword::kUnique)) {
        parseColumnKey(c);
      } else {
        return c;
      }
    }
  }

  void parseColumnKey(ColumnDef& c) {
    if (acceptWord(Keyword::kPrimary)) {
      expectWord(Keyword::kKey);
      c.primaryKey = true;
    } else {
      expectWord(Keyword::kUnique);
      c.unique = true;
    }
  }

  static bool isLiteral(const Expr& e) {
    if (e.kind == ExprKind::kNegate) return e.args[0]->kind == ExprKind::kNumber;
    return isLiteralKind(e.kind);
  }

  int parseSmallNumber() {
    const Token& t = peek();
    if (t.kind != TokenKind::kNumber ||
        t.text.find_first_not_of("0123456789") != std::string::npos || t.text.size() > 4)
      fail();
    next();
    return std::stoi(t.text);
  }

  // drop := DROP TABLE name
  DropTableStmt parseDrop() {
    clauseError_ = jeterr::kSyntaxDrop;
    expectWord(Keyword::kDrop);
    expectWord(Keyword::kTable);
    DropTableStmt s;
    s.table = parseName();
    return s;
  }

  std::string_view sql_;
  std::vector<Token> tokens_;
  size_t pos_ = 0;
  JetError clauseError_ = jeterr::kInvalidStatement;
  bool inExpression_ = false;
  size_t expressionStart_ = 0;
};

}  // namespace

Statement parseStatement(std::string_view sql) {
  return Parser(sql).parse();
}

}  // namespace korvane::db
