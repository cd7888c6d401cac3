// Reads a Jet file's catalog, table definitions and rows through libmdb.
//
// libmdb cracks each row into its fields; the rows are found by our own walk
// over the table's data pages (table_walk.h), which fails where libmdb's
// would skip without a word, and the values are decoded here from the raw
// bytes (jet_values.h), so that dates stay Jet's doubles, Currency and
// Decimal stay exact and Null is told apart from an empty text. The row
// count a table's definition keeps is never consulted: Jet lets it drift.
// The catalog is read here too, from MSysObjects, instead of by libmdb's
// mdb_read_catalog: that one also decodes every object's properties and, on
// a damaged file (one cut short, say), can loop for ever doing so. Of the
// catalog only the fields the import needs are decoded, and of the other
// system tables nothing is read: the import copies none of them. Field
// properties (descriptions, captions) are therefore not read.
#include "jet_file/jet_reader.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <optional>

#include "jet_file/jet_checks.h"
#include "jet_file/libmdb.h"
#include "jet_file/long_value.h"
#include "jet_file/table_walk.h"
#include "sqlite/jet_errors.h"

namespace korvane::jetfile {

namespace {

constexpr const char* kCatalogTable = "MSysObjects";
constexpr guint32 kCatalogPage = 2;  // where every Jet file keeps MSysObjects' definition

struct HandleCloser {
  void operator()(MdbHandle* mdb) const { mdb_close(mdb); }
};
struct TableDefFreer {
  void operator()(MdbTableDef* table) const { mdb_free_tabledef(table); }
};
using HandlePtr = std::unique_ptr<MdbHandle, HandleCloser>;
using TableDefPtr = std::unique_ptr<MdbTableDef, TableDefFreer>;

MdbColumn* columnAt(MdbTableDef* table, size_t i) {
  return static_cast<MdbColumn*>(g_ptr_array_index(table->columns, static_cast<guint>(i)));
}

// Jet 3's code page is not recorded in the file; CP1252 unless the user says.
std::string jet3Charset() {
  const char* chosen = std::getenv("MDB_JET3_CHARSET");
  return chosen && *chosen ? chosen : "CP1252";
}

std::optional<JetType> jetTypeOfColumn(const MdbColumn& col) {
  switch (col.col_type) {
    case MDB_BOOL:
      return JetType::kYesNo;
    case MDB_BYTE:
      return JetType::kByte;
    case MDB_INT:
      return JetType::kInteger;
    case MDB_LONGINT:
      return col.is_long_auto ? JetType::kCounter : JetType::kLong;
    case MDB_MONEY:
      return JetType::kCurrency;
    case MDB_FLOAT:
      return JetType::kSingle;
    case MDB_DOUBLE:
      return JetType::kDouble;
    case MDB_DATETIME:
      return JetType::kDateTime;
    case MDB_TEXT:
      return JetType::kText;
    case MDB_MEMO:
      return JetType::kMemo;
    case MDB_OLE:
    case MDB_BINARY:  // fixed-size binary: kept as bytes, like an OLE value
      return JetType::kOle;
    case MDB_REPID:
      return JetType::kGuid;
    case MDB_NUMERIC:
      return JetType::kDecimal;
    default:
      return std::nullopt;
  }
}

}  // namespace

void raiseDamaged(const std::string& displayName, const std::string& why) {
  raiseJet(jeterr::kNotADatabase, displayName, why);
}

class JetReader::Impl {
 public:
  Impl(const std::filesystem::path& file, const std::string& displayName);

  std::vector<JetTable> tables_;
  void readRows(size_t index, const RowSink& sink);

 private:
  void readCatalog();
  void openTables();
  TableDefPtr readDefinition(MdbCatalogEntry* entry);
  JetColumn columnOf(const JetTable& table, const MdbColumn& col) const;
  // The fields of a row to decode; the others come as Null.
  using Wanted = std::vector<bool>;
  void forEachRow(MdbTableDef* def, const RowSink& sink, const Wanted* wanted = nullptr);
  std::vector<JetValue> valuesOfRow(MdbTableDef* def, const RowPlace& place,
                                    std::vector<MdbField>& fields, const Wanted* wanted);
  JetValue valueOf(const MdbColumn& col, const MdbField& field, MdbTableDef* def);
  std::string textOf(Bytes bytes) const;

  std::string name_;
  HandlePtr mdb_;
  std::optional<FileChecks> checks_;
  std::optional<SingleByteText> jet3Text_;
  std::vector<std::unique_ptr<MdbCatalogEntry>> entries_;  // tables in MSysObjects
  std::vector<TableDefPtr> definitions_;                   // parallel to tables_
};

JetReader::Impl::Impl(const std::filesystem::path& file, const std::string& displayName)
    : name_(displayName), mdb_(mdb_open(file.c_str(), MDB_NOFLAGS)) {
  if (!mdb_) raiseDamaged(name_, "the file cannot be opened as a Jet database");
  const auto version = mdb_->f->jet_version;
  if (version != MDB_VER_JET3 && version != MDB_VER_JET4)
    raiseDamaged(name_, "not a Jet 3 or Jet 4 database");
  if (version == MDB_VER_JET3) jet3Text_.emplace(jet3Charset());
  std::error_code error;
  const auto size = std::filesystem::file_size(file, error);
  if (error) raiseDamaged(name_, "its size is unknown");
  checks_.emplace(mdb_.get(), size, name_);
  readCatalog();
  openTables();
}

// The tables listed in MSysObjects: its Id, Name, Type and Flags, read and
// checked; its other fields are not decoded.
void JetReader::Impl::readCatalog() {
  MdbCatalogEntry catalog{};
  catalog.mdb = mdb_.get();
  catalog.object_type = MDB_TABLE;
  catalog.table_pg = kCatalogPage;
  std::strcpy(catalog.object_name, kCatalogTable);
  TableDefPtr def = readDefinition(&catalog);
  const auto at = [&](const char* name) {
    for (size_t i = 0; i < def->num_cols; ++i)
      if (std::string(columnAt(def.get(), i)->name) == name) return i;
    raiseDamaged(name_, std::string("the catalog has no field ") + name);
  };
  const size_t id = at("Id"), name = at("Name"), type = at("Type"), flags = at("Flags");
  Wanted wanted(def->num_cols, false);
  for (const size_t field : {id, name, type, flags}) wanted[field] = true;
  const RowSink collect = [&](const std::vector<JetValue>& row) {
    const auto* objectName = std::get_if<std::string>(&row[name]);
    const auto* objectType = std::get_if<std::int64_t>(&row[type]);
    if (!objectName || !objectType || (*objectType & 0x7F) != MDB_TABLE) return;
    if (objectName->size() > MDB_MAX_OBJ_NAME) raiseDamaged(name_, "a table name is too long");
    auto entry = std::make_unique<MdbCatalogEntry>();
    entry->mdb = mdb_.get();
    std::strcpy(entry->object_name, objectName->c_str());
    entry->object_type = MDB_TABLE;
    const auto* objectId = std::get_if<std::int64_t>(&row[id]);
    const auto* objectFlags = std::get_if<std::int64_t>(&row[flags]);
    entry->table_pg = objectId ? static_cast<unsigned long>(*objectId & 0x00FFFFFF) : 0;
    entry->flags = objectFlags ? static_cast<int>(*objectFlags) : 0;
    entries_.push_back(std::move(entry));
  };
  forEachRow(def.get(), collect, &wanted);
  // Every Jet file's catalog lists itself. One that does not (no rows found,
  // or rows whose fields do not read as written) would import as a file
  // without tables.
  const bool listsItself = std::any_of(entries_.begin(), entries_.end(), [](const auto& entry) {
    return entry->table_pg == kCatalogPage && std::string(entry->object_name) == kCatalogTable;
  });
  if (!listsItself) raiseDamaged(name_, "the catalog does not list itself");
}

// Reads the definitions of the user tables. System tables are not read: the
// import copies none of them, so what their pages hold cannot harm the copy.
void JetReader::Impl::openTables() {
  for (const auto& entry : entries_) {
    if (!mdb_is_user_table(entry.get())) continue;
    TableDefPtr def = readDefinition(entry.get());
    JetTable table{entry->object_name, {}};
    for (size_t c = 0; c < def->num_cols; ++c)
      table.columns.push_back(columnOf(table, *columnAt(def.get(), c)));
    tables_.push_back(std::move(table));
    definitions_.push_back(std::move(def));
  }
  std::vector<std::string> names;
  for (const auto& table : tables_) names.push_back(table.name);
  checks_->requireTableNames(names);
}

TableDefPtr JetReader::Impl::readDefinition(MdbCatalogEntry* entry) {
  const std::string table = entry->object_name;
  checks_->requireTableDefinition(static_cast<std::uint32_t>(entry->table_pg), table);
  TableDefPtr def(mdb_read_table(entry));
  if (!def || !mdb_read_columns(def.get()) || def->num_cols == 0 ||
      def->columns->len != def->num_cols)
    raiseDamaged(name_, "the definition of table '" + table + "' is unreadable");
  checks_->requireColumnNames(*def);
  return def;
}

JetColumn JetReader::Impl::columnOf(const JetTable& table, const MdbColumn& col) const {
  auto type = jetTypeOfColumn(col);
  if (!type)
    raiseDamaged(name_, "field '" + table.name + "." + col.name + "' has type " +
                            std::to_string(col.col_type) + ", unknown to Jet 3 and Jet 4");
  JetColumn column{col.name, *type, 0, 0};
  if (*type == JetType::kText) column.size = jet3Text_ ? col.col_size : col.col_size / 2;
  if (*type == JetType::kDecimal) {
    // libmdb 1.0 reads a Decimal's precision into col_scale and its scale into col_prec.
    column.size = col.col_scale;
    column.scale = col.col_prec;
  }
  return column;
}

void JetReader::Impl::readRows(size_t index, const RowSink& sink) {
  forEachRow(definitions_.at(index).get(), sink);
}

// Hands `sink` the values of every live row of `def`, in file order.
void JetReader::Impl::forEachRow(MdbTableDef* def, const RowSink& sink, const Wanted* wanted) {
  std::vector<MdbField> fields(def->num_cols);
  forEachLiveRow(*def, *checks_, name_,
                 [&](const RowPlace& place) { sink(valuesOfRow(def, place, fields, wanted)); });
}

std::vector<JetValue> JetReader::Impl::valuesOfRow(MdbTableDef* def, const RowPlace& place,
                                                   std::vector<MdbField>& fields,
                                                   const Wanted* wanted) {
  if (mdb_crack_row(def, place.start, place.size, fields.data()) < 0)
    raiseDamaged(name_, "a row of table '" + std::string(def->name) +
                            "' cannot be taken apart into its fields");
  checks_->spendRow(place.size);
  std::vector<JetValue> values;
  values.reserve(def->num_cols);
  for (size_t i = 0; i < def->num_cols; ++i) {
    const auto column = static_cast<size_t>(fields[i].colnum);
    if (wanted && !(*wanted)[column]) {
      values.emplace_back(std::monostate{});
    } else {
      values.push_back(valueOf(*columnAt(def, column), fields[i], def));
    }
  }
  return values;
}

JetValue JetReader::Impl::valueOf(const MdbColumn& col, const MdbField& field, MdbTableDef* def) {
  // A Yes/No keeps its value in the null mask: set is True (-1), never Null.
  if (col.col_type == MDB_BOOL) return std::int64_t{field.is_null ? 0 : -1};
  if (field.is_null) return std::monostate{};
  const auto pageSize = static_cast<size_t>(mdb_->fmt->pg_size);
  const auto fieldName = [&] { return "'" + std::string(def->name) + "." + col.name + "'"; };
  if (field.start < 0 || field.siz < 0 ||
      static_cast<size_t>(field.start) + static_cast<size_t>(field.siz) > pageSize)
    raiseDamaged(name_, "field " + fieldName() + " lies outside its page");
  const Bytes bytes(mdb_->pg_buf + field.start, static_cast<size_t>(field.siz));
  const auto need = [&](size_t n) {
    if (bytes.size() < n) raiseDamaged(name_, "field " + fieldName() + " is cut short");
    return bytes.first(n);
  };
  switch (col.col_type) {
    case MDB_BYTE:
      return littleEndianInteger(need(1));
    case MDB_INT:
      return littleEndianInteger(need(2));
    case MDB_LONGINT:
      return littleEndianInteger(need(4));
    case MDB_MONEY:
      return numberOfDecimalText(currencyText(need(8)));
    case MDB_FLOAT:
      return static_cast<double>(littleEndianSingle(need(4)));
    case MDB_DOUBLE:
    case MDB_DATETIME:  // Jet's own double: days since 1899-12-30, time as the fraction
      return littleEndianDouble(need(8));
    case MDB_REPID:
      return guidText(need(16));
    case MDB_NUMERIC:
      return numberOfDecimalText(decimalText(need(17), col.col_prec));
    case MDB_TEXT:
      return textOf(bytes);
    case MDB_MEMO:
    case MDB_OLE:
      break;
    default:  // Binary; also types only system tables use (user tables are refused them)
      return Blob{{bytes.begin(), bytes.end()}};
  }
  const std::uint64_t reads = checks_->pageReads();
  auto whole = readLongValue(mdb_.get(), *checks_, bytes);
  checks_->setAsideReads(checks_->pageReads() - reads);
  if (!whole) raiseDamaged(name_, "the long value of field " + fieldName() + " is unreadable");
  if (col.col_type == MDB_MEMO) return textOf(*whole);
  return Blob{std::move(*whole)};
}

std::string JetReader::Impl::textOf(Bytes bytes) const {
  return jet3Text_ ? jet3Text_->toUtf8(bytes) : utf8OfJet4Text(bytes);
}

JetReader::JetReader(const std::filesystem::path& file, const std::string& displayName)
    : impl_(std::make_unique<Impl>(file, displayName)) {}

JetReader::~JetReader() = default;

const std::vector<JetTable>& JetReader::tables() const {
  return impl_->tables_;
}

void JetReader::readRows(size_t index, const RowSink& sink) {
  impl_->readRows(index, sink);
}

}  // namespace korvane::jetfile
