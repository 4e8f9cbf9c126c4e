// The SQL highlighter in eight dialects: reserved words, data types, functions, exceptions and
// variables of each, comments and strings carried across lines.
#include <array>

#include "highlight/languages/languages.h"
#include "highlight/languages/lexer_support.h"

namespace qv::lang {

namespace {

enum Kind { kComment, kDataType, kException, kFunction, kIdentifier, kNumber, kReserved, kSpace, kString, kSymbol, kVariable };

constexpr AttrSpec kAttributes[] = {
    {"Comment", "Comment", kGray, kClNone, kFsItalic, Role::Comment},
    {"Data type", "Data_Type", kClWindowText, kClNone, kFsBold},
    {"Exception", "Exception", kRed, kClNone, kFsItalic},
    {"Function", "Function", kMaroon, kClNone, kFsBold},
    {"Identifier", "Identifier", kNavy, kClNone, 0, Role::Identifier},
    {"Number", "Number", kRed, kClNone, 0},
    {"Reserved word", "Reserved_Word", kNavy, kClNone, kFsBold, Role::Keyword},
    {"Space", "Space", kClWindowText, kClWindow, 0, Role::Space},
    {"String", "String", kMaroon, kClNone, 0, Role::String},
    {"Symbol", "Symbol", kGray, kClNone, 0, Role::Symbol},
    {"Variable", "Variable", kClWindowText, kClNone, 0},
};

enum State : HighlighterRange { kCode = 0, kBlockComment = 1, kStringLine = 2, kQuotedName = 3 };
enum Dialect { kStandard, kInterbase6, kMSSQL7, kMySQL, kOracle, kSybase, kIngres, kMSSQL2K, kDialects };

constexpr std::string_view kCommonReserved =
    "absolute action add all alter and any as asc authorization begin between both by cascade case "
    "cast check close collate column commit constraint create cross current current_date current_time "
    "current_timestamp current_user cursor deallocate declare default delete desc distinct drop else "
    "end escape except exec execute exists fetch first for foreign from full function grant group "
    "having if in index inner insert intersect into is join key last left like merge natural next not "
    "null of on open option or order outer over partition primary procedure references return returns "
    "revoke right rollback row rows select set some table then to transaction trigger truncate union "
    "unique update using values view when where while with window recursive lateral fetch offset only";

constexpr std::string_view kCommonTypes =
    "bigint binary bit blob boolean char character clob date datetime decimal double float int integer "
    "interval nchar numeric nvarchar real smallint time timestamp varbinary varchar varying";

constexpr std::string_view kCommonFunctions =
    "abs avg ceiling coalesce count floor lower ltrim max min nullif round rtrim substring sum trim "
    "upper length position extract row_number rank dense_rank lag lead first_value last_value";

struct DialectWords {
  std::string_view reserved, types, functions, exceptions;
};

constexpr std::array<DialectWords, kDialects> kDialectWords{{
    {"", "", "", ""},
    {"active after before blob computed connect database do domain entry exception exit external "
     "filter generator gen_id inactive input_type manual module_name output_type post_event "
     "returning_values rdb$db_key segment shadow shared singular snapshot suspend variable wait",
     "cstring", "gen_id upper", ""},
    {"backup break browse bulk checkpoint clustered compute contains containstable dbcc deny disk "
     "distributed dummy dump errlvl file fillfactor freetext freetexttable goto holdlock identity "
     "identity_insert identitycol kill lineno load nocheck nonclustered off offsets opendatasource "
     "openquery openrowset openxml percent plan print proc raiserror readtext reconfigure replication "
     "restore rowcount rowguidcol rule save schema setuser shutdown statistics textsize top tran "
     "tsequal updatetext use waitfor writetext try catch throw output",
     "image money ntext smalldatetime smallmoney sql_variant text tinyint uniqueidentifier xml",
     "getdate dateadd datediff datename datepart isnull len newid object_id scope_identity convert "
     "charindex replace stuff str patindex @@error @@identity @@rowcount @@trancount",
     ""},
    {"analyze auto_increment change database databases delayed describe div engine explain force "
     "fulltext ignore infile kill limit load lock low_priority modify optimize outfile purge regexp "
     "rename repair replace require rlike schema show spatial sql_calc_found_rows straight_join "
     "unlock unsigned use zerofill duplicate charset",
     "enum json longblob longtext mediumblob mediumint mediumtext tinyblob tinyint tinytext year",
     "concat concat_ws curdate curtime date_format ifnull if last_insert_id now group_concat "
     "str_to_date unix_timestamp uuid",
     ""},
    {"access audit body cluster comment compress connect constant elsif exception exclusive exit "
     "goto identified immediate increment initial loop lock maxextents minus mode modify noaudit "
     "nocompress nowait number online package pctfree pragma prior privileges raise record rename "
     "resource rowid rownum session share size start successful synonym sysdate type uid validate "
     "varchar2 loop bulk collect forall",
     "binary_integer bfile long number nvarchar2 pls_integer raw rowid urowid varchar2 xmltype",
     "decode nvl nvl2 to_char to_date to_number instr substr sysdate systimestamp trunc add_months "
     "months_between greatest least listagg regexp_like regexp_replace",
     "access_into_null case_not_found collection_is_null cursor_already_open dup_val_on_index "
     "invalid_cursor invalid_number login_denied no_data_found not_logged_on program_error "
     "rowtype_mismatch self_is_null storage_error subscript_beyond_count subscript_outside_limit "
     "sys_invalid_rowid timeout_on_resource too_many_rows value_error zero_divide others"},
    {"at break browse checkpoint clustered compute dbcc dump errlvl exit holdlock identity kill "
     "lineno load noholdlock nonclustered numeric_truncation offsets plan print proc raiserror "
     "readtext reconfigure replace rowcount rule save setuser shutdown statistics textsize tran "
     "tsequal updatetext use waitfor writetext",
     "image money smalldatetime smallmoney sysname text tinyint unichar univarchar",
     "getdate dateadd datediff datename datepart isnull convert charindex @@error @@identity @@rowcount",
     ""},
    {"abort commit copy define disable enable endloop endwhile message modify raise register "
     "relocate remove repeat save savepoint session",
     "byte c integer1 integer2 integer4 money object_key table_key vchar",
     "dbmsinfo ifnull squeeze",
     ""},
    {"backup break browse bulk checkpoint clustered compute contains containstable dbcc deny disk "
     "distributed dump errlvl file fillfactor freetext freetexttable function goto holdlock identity "
     "identity_insert identitycol kill lineno load nocheck nonclustered off offsets opendatasource "
     "openquery openrowset openxml percent plan print proc raiserror readtext reconfigure "
     "replication restore rowcount rowguidcol rule save schema setuser shutdown statistics textsize "
     "top tran tsequal updatetext use waitfor writetext collate",
     "bigint image money ntext smalldatetime smallmoney sql_variant table text tinyint "
     "uniqueidentifier",
     "getdate getutcdate dateadd datediff datename datepart isnull len newid object_id "
     "scope_identity convert charindex replace stuff str patindex @@error @@identity @@rowcount",
     ""},
}};

struct Words {
  KeywordSet reserved, types, functions, exceptions;
};

const Words& WordsFor(int dialect) {
  static const std::array<Words, kDialects> all = [] {
    std::array<Words, kDialects> out;
    for (int d = 0; d < kDialects; ++d) {
      const DialectWords& w = kDialectWords[static_cast<std::size_t>(d)];
      out[static_cast<std::size_t>(d)] = {
          KeywordSet(std::string(kCommonReserved) + " " + std::string(w.reserved), false),
          KeywordSet(std::string(kCommonTypes) + " " + std::string(w.types), false),
          KeywordSet(std::string(kCommonFunctions) + " " + std::string(w.functions), false),
          KeywordSet(w.exceptions, false)};
    }
    return out;
  }();
  return all[static_cast<std::size_t>(dialect)];
}

class SqlLexer final : public Lexer {
 public:
  int dialect = kStandard;

  int scan(Cursor& c, HighlighterRange& range) override {
    switch (range) {
      case kBlockComment:
        if (c.skipPast("*/")) range = kCode;
        return kComment;
      case kStringLine:
        return string(c, range, '\'');
      case kQuotedName:
        if (ScanQuoted(c, '"', 0)) range = kCode;
        return isMySql() ? kString : kIdentifier;
      default:
        break;
    }
    range = kCode;
    unsigned char ch = c.at();
    if (SpaceChars().test(ch)) {
      c.skip(SpaceChars());
      return kSpace;
    }
    if ((ch == '-' && c.at(1) == '-') || (ch == '#' && isMySql())) {
      c.toEnd();
      return kComment;
    }
    if (ch == '/' && c.at(1) == '*') {
      c.advance(2);
      if (!c.skipPast("*/")) range = kBlockComment;
      return kComment;
    }
    if (ch == '\'') {
      c.advance();
      return string(c, range, '\'');
    }
    if ((ch == 'N' || ch == 'n') && c.at(1) == '\'') {
      c.advance(2);
      return string(c, range, '\'');
    }
    if (ch == '"') {
      c.advance();
      if (!ScanQuoted(c, '"', isMySql() ? '\\' : 0)) range = kQuotedName;
      return isMySql() ? kString : kIdentifier;
    }
    if (ch == '`' && isMySql()) {
      c.advance();
      ScanQuoted(c, '`', 0);
      return kIdentifier;
    }
    if (ch == '[' && isTransact()) {
      c.advance();
      ScanQuoted(c, ']', 0);
      return kIdentifier;
    }
    if ((ch == '@' && (isTransact() || isMySql())) ||
        (ch == ':' && (dialect == kOracle || dialect == kInterbase6) && WordStartChars().test(c.at(1)))) {
      std::size_t start = c.pos;
      c.advance();
      if (c.at() == '@') c.advance();
      c.skip(WordChars() | Chars("$#"));
      if (WordsFor(dialect).functions.contains(c.from(start))) return kFunction;
      return c.pos > start + 1 ? kVariable : kSymbol;
    }
    if (WordStartChars().test(ch) || (ch == '#' && isTransact())) {
      std::size_t start = c.pos;
      c.advance();
      c.skip(WordChars() | Chars("$#"));
      std::string_view word = c.from(start);
      const Words& w = WordsFor(dialect);
      if (w.types.contains(word)) return kDataType;
      if (w.functions.contains(word)) return kFunction;
      if (w.exceptions.contains(word)) return kException;
      if (w.reserved.contains(word)) return kReserved;
      return kIdentifier;
    }
    if (DigitChars().test(ch) || (ch == '.' && DigitChars().test(c.at(1)))) {
      ScanNumber(c, {0, false, false, false});
      return kNumber;
    }
    c.advance();
    return kSymbol;
  }

  std::unique_ptr<Lexer> clone() const override { return std::make_unique<SqlLexer>(*this); }

 private:
  bool isMySql() const { return dialect == kMySQL; }
  bool isTransact() const { return dialect == kMSSQL7 || dialect == kMSSQL2K || dialect == kSybase; }

  // Inside a quoted string: "''" is a quote, MySQL also knows backslash escapes.
  int string(Cursor& c, HighlighterRange& range, char quote) {
    while (!c.atEnd()) {
      char ch = c.text[c.pos];
      if (ch == '\\' && isMySql()) {
        c.advance(2);
        continue;
      }
      ++c.pos;
      if (ch == quote) {
        if (c.at() == static_cast<unsigned char>(quote)) {
          c.advance();
          continue;
        }
        range = kCode;
        return kString;
      }
    }
    range = kStringLine;
    return kString;
  }
};

class SqlHighlighter final : public LexerHighlighter {
 public:
  SqlHighlighter() : LexerHighlighter("SQL", std::make_unique<SqlLexer>(), kAttributes, WordChars() | Chars("$#@")) {}
  void setDialect(int d) {
    static_cast<SqlLexer&>(lexer()).dialect = d;
    notifyChange();
  }
  std::unique_ptr<Highlighter> clone() const override {
    auto copy = std::make_unique<SqlHighlighter>();
    copy->setDialect(static_cast<const SqlLexer&>(lexer()).dialect);
    copy->attributes().clear();
    for (const auto& a : attributes()) *copy->addAttribute(a->name, a->storageName) = *a;
    return copy;
  }
};

}  // namespace

std::unique_ptr<Highlighter> MakeSqlHighlighter() { return std::make_unique<SqlHighlighter>(); }

bool SetSqlHighlighterDialect(Highlighter& h, int dialect) {
  auto* sql = dynamic_cast<SqlHighlighter*>(&h);
  if (!sql || dialect < 0 || dialect >= kDialects) return false;
  sql->setDialect(dialect);
  return true;
}

}  // namespace qv::lang
