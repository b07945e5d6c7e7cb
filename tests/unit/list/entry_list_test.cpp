#include "common/list/entry_list.h"

#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <utility>

#include "common/list/list_temporary.h"
#include "common/list/utf8.h"
#include "fakes.h"

namespace ombrel {
namespace {

using Items = std::vector<std::string>;

struct ReadCase {
  const char* name;
  std::string bytes;
  Items items;
};

// What a file's bytes read as. The first group is what the editor's own saves
// produce; the rest are hand-edited files, decided once here for both programs.
const ReadCase kReadCases[] = {
    {"saved_three_with_empty_middle", "a\r\n\r\nb\r\n", {"a", "", "b"}},
    {"zero_bytes", "", {}},
    {"only_line_end", "\r\n", {""}},
    {"extra_empty_line_at_end", "a\r\n\r\n", {"a", ""}},
    {"last_line_without_line_end", "a\r\nb", {"a", "b"}},
    {"comma_splits", "C:\\Tools\\x, y.exe\r\n", {"C:\\Tools\\x", "y.exe"}},
    {"quoted_keeps_comma", "\"C:\\My Files\\a,b.txt\"\r\n", {"C:\\My Files\\a,b.txt"}},
    {"edge_spaces_dropped", "   notepad.exe   \r\n", {"notepad.exe"}},
    {"trailing_comma_gives_empty_item", "a,\r\nb\r\n", {"a", "", "b"}},
    {"quoted_keeps_edge_spaces", "\" a b \"\r\n", {" a b "}},
    {"empty_quotes", "\"\"\r\n", {""}},
    // Hand-edited files.
    {"quoted_command_line_kept_as_is",
     "\"C:\\Program Files\\App\\app.exe\" /min\r\n",
     {"\"C:\\Program Files\\App\\app.exe\" /min"}},
    {"text_after_quote_ends_at_comma", "\"a b\" x ,c\r\n", {"\"a b\" x", "c"}},
    {"comma_between_marks_stays_in_command_line",
     "\"C:\\Data,2024\\app.exe\" /min,c\r\n",
     {"\"C:\\Data,2024\\app.exe\" /min", "c"}},
    {"blanks_after_closing_quote_ignored", "\"a,b\"  \t,c\r\n", {"a,b", "c"}},
    {"quoted_then_eof", "\"a,b\"", {"a,b"}},
    {"tabs_around_item", "\tnotepad.exe\t\r\n", {"notepad.exe"}},
    {"lone_lf_ends_line", "a\nb\n", {"a", "b"}},
    {"lone_cr_ends_line", "a\rb\r", {"a", "b"}},
    {"lf_cr_is_two_line_ends", "a\n\rb", {"a", "", "b"}},
    {"unclosed_quote_is_ordinary", "\"C:\\a b,c\r\nd\"e\r\n", {"\"C:\\a b", "c", "d\"e"}},
    {"quote_in_middle_is_ordinary", "say \"hi\"\r\n", {"say \"hi\""}},
    {"last_line_only_spaces", "a\r\n   ", {"a", ""}},
    {"comma_as_last_byte_starts_no_item", "a,", {"a"}},
    {"spaces_only_line", "  \r\n", {""}},
    {"shift_jis_trail_bytes_are_not_structure",
     "\x83\x81\x83\x82\x92\xA0,x\r\n",
     {"\x83\x81\x83\x82\x92\xA0", "x"}},
};

void PrintTo(const ReadCase& c, std::ostream* os) { *os << c.name; }

class ReadItemsTest : public ::testing::TestWithParam<ReadCase> {};

TEST_P(ReadItemsTest, ReadsAsDecided) { EXPECT_EQ(ReadItems(GetParam().bytes), GetParam().items); }

INSTANTIATE_TEST_SUITE_P(Cases, ReadItemsTest, ::testing::ValuesIn(kReadCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ItemReaderTest, EndOfFileTestedBeforeEveryItem) {
  ItemReader reader("x\r\n");
  ASSERT_FALSE(reader.AtEnd());
  EXPECT_EQ(reader.Next(), "x");
  EXPECT_TRUE(reader.AtEnd());
}

struct WriteCase {
  const char* name;
  std::string entry;
  std::string line;
};

const WriteCase kWriteCases[] = {
    {"plain_is_bare", "notepad.exe", "notepad.exe\r\n"},
    {"empty_is_bare", "", "\r\n"},
    {"inner_spaces_are_bare", "C:\\My Files\\a.txt", "C:\\My Files\\a.txt\r\n"},
    {"comma_is_quoted", "C:\\My Files\\a,b.txt", "\"C:\\My Files\\a,b.txt\"\r\n"},
    {"edge_spaces_are_quoted", " a ", "\" a \"\r\n"},
    {"edge_tab_is_quoted", "a\t", "\"a\t\"\r\n"},
    {"spaces_only_are_quoted", "   ", "\"   \"\r\n"},
    {"quoted_command_line_is_bare", "\"C:\\App\\app.exe\" /min", "\"C:\\App\\app.exe\" /min\r\n"},
    {"inner_quote_is_bare", "say \"hi\"", "say \"hi\"\r\n"},
    // No form carries these; they are written as they stand.
    {"quote_and_comma_is_bare", "a\",b", "a\",b\r\n"},
    {"whole_quoted_is_bare", "\"abc\"", "\"abc\"\r\n"},
};

void PrintTo(const WriteCase& c, std::ostream* os) { *os << c.name; }

class EncodeEntryLineTest : public ::testing::TestWithParam<WriteCase> {};

TEST_P(EncodeEntryLineTest, WritesAsDecided) {
  EXPECT_EQ(EncodeEntryLine(GetParam().entry), GetParam().line);
}

INSTANTIATE_TEST_SUITE_P(Cases, EncodeEntryLineTest, ::testing::ValuesIn(kWriteCases),
                         [](const auto& info) { return std::string(info.param.name); });

// The lines of a list, as the writer puts them one after the other.
std::string EncodeLines(const std::vector<std::string>& entries) {
  std::string bytes;
  for (const std::string& entry : entries) bytes += EncodeEntryLine(entry);
  return bytes;
}

TEST(EncodeEntryLineTest, EntriesThatCannotBeCarriedAreKnown) {
  EXPECT_NE(ReadItems(EncodeEntryLine("\"abc\"")), std::vector<std::string>{"\"abc\""});
  EXPECT_NE(ReadItems(EncodeEntryLine("\"a\", b")), std::vector<std::string>{"\"a\", b"});
  EXPECT_EQ(ReadItems(EncodeEntryLine("x, y.exe")), std::vector<std::string>{"x, y.exe"});
  // A comma between the marks of a quoted command line is carried.
  const std::string commandLine = "\"C:\\Data,2024\\app.exe\" /min";
  EXPECT_EQ(ReadItems(EncodeEntryLine(commandLine)), std::vector<std::string>{commandLine});
}

// Every entry without a line end that is not one of the uncarriable kinds (a
// quotation mark together with a comma or edge blanks, or a whole entry
// between marks) must come back exactly, whatever else it holds.
TEST(RoundTripTest, GeneratedListsComeBackUnchanged) {
  std::mt19937 random(20261207);
  const std::string alphabet = std::string("ab ,\t\"\\.:") + "\x83\x81\x92\xA0";
  std::uniform_int_distribution<int> lengthOf(0, 12);
  std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
  int carried = 0;
  for (int list = 0; list < 400; ++list) {
    std::vector<std::string> entries;
    for (int i = 0; i < 25; ++i) {
      std::string entry;
      const int length = lengthOf(random);
      for (int k = 0; k < length; ++k) entry += alphabet[pick(random)];
      const bool hasQuote = entry.find('"') != std::string::npos;
      const bool hasComma = entry.find(',') != std::string::npos;
      const bool edgeBlank = !entry.empty() && (entry.front() == ' ' || entry.front() == '\t' ||
                                                entry.back() == ' ' || entry.back() == '\t');
      const bool wholeQuoted =
          !entry.empty() && entry.front() == '"' && entry.find('"', 1) == entry.size() - 1;
      const bool mayBeLost = hasQuote && (hasComma || edgeBlank || wholeQuoted);
      if (mayBeLost) continue;
      entries.push_back(entry);
    }
    carried += static_cast<int>(entries.size());
    ASSERT_EQ(ReadItems(EncodeLines(entries)), entries) << "list " << list;
  }
  EXPECT_GT(carried, 5000);
}

// Whatever a list holds, saving never changes how many lines the file has and
// never merges two entries: each entry ends its own line.
TEST(RoundTripTest, EveryEntryKeepsItsOwnLine) {
  std::mt19937 random(7);
  const std::string alphabet = "a \",\t";
  std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
  for (int list = 0; list < 300; ++list) {
    std::vector<std::string> entries(10);
    for (std::string& entry : entries) {
      for (int k = 0; k < 6; ++k) entry += alphabet[pick(random)];
    }
    const std::string bytes = EncodeLines(entries);
    std::size_t lineEnds = 0;
    for (std::size_t i = 0; i + 1 < bytes.size(); ++i) lineEnds += bytes.compare(i, 2, "\r\n") == 0;
    EXPECT_EQ(lineEnds, entries.size());
    // The first item of each line is what the start of that entry reads as.
    ItemReader reader(bytes);
    std::size_t items = 0;
    while (!reader.AtEnd()) {
      static_cast<void>(reader.Next());
      ++items;
    }
    EXPECT_GE(items, entries.size());
  }
}

TEST(EntryListFileTest, ReadsThroughThePlatformConversion) {
  testing::FakeSystem system;
  system.files[L"C:\\T\\OMBREL.DAT"] = "a\r\n\"b,c\"\r\n\r\n";
  const EntryListRead list = ReadEntryList(system, L"C:\\T\\OMBREL.DAT");
  EXPECT_EQ(list.status, ReadStatus::kRead);
  EXPECT_EQ(list.entries, (std::vector<std::wstring>{L"a", L"b,c", L""}));
}

struct FormCase {
  const char* name;
  std::string bytes;
  std::vector<std::wstring> entries;
};

// Every form read by one rule: with the mark, or as well-formed UTF-8 beyond
// ASCII, the items are UTF-8; else they are in the code page (the fake's is
// Latin-1).
TEST(ListFormTest, ReadsEveryForm) {
  const FormCase cases[] = {
      {"ansi", "caf\xE9\r\n\"a,b\"\r\n", {L"caf\u00e9", L"a,b"}},
      {"utf8",
       "\xEF\xBB\xBF"
       "caf\xC3\xA9\r\n\"\xED\x95\x9C,\xF0\x9F\x98\x80\"\r\n",
       {L"caf\u00e9", L"\ud55c,\U0001F600"}},
      {"empty", "", {}},
      {"mark_alone", "\xEF\xBB\xBF", {}},
      {"mark_then_empty_line", "\xEF\xBB\xBF\r\n", {L""}},
      // A mark in front of code page 932 bytes: the mark decides, and each
      // byte that is no UTF-8 becomes a replacement character, never a crash
      // and never a split.
      {"mark_then_shift_jis", "\xEF\xBB\xBF\x83\x81,\x83\x82\r\n", {L"\uFFFD\uFFFD", L"\uFFFD\uFFFD"}},
      // A NUL is no character of an entry: shown and saved as U+FFFD.
      {"nul", std::string("a\0b\r\n\xE9", 6), {L"a\uFFFDb", L"\u00e9"}},
      {"nul_in_utf8",
       std::string("\xEF\xBB\xBF"
                   "a\0\r\n",
                   7),
       {L"a\uFFFD"}},
      // The mark only counts at the very start; further in, in a file of
      // well-formed UTF-8, it is a character like any other.
      {"mark_later",
       "a\r\n\xEF\xBB\xBF"
       "b\r\n",
       {L"a", L"\ufeffb"}},
      {"unmarked_utf8", "caf\xC3\xA9,\xE8\xB3\x87\r\n", {L"caf\u00e9", L"\u8cc7"}},
  };
  testing::FakeSystem system;
  for (const FormCase& c : cases) EXPECT_EQ(DecodeEntryList(system, c.bytes), c.entries) << c.name;
}

struct EncodingCase {
  const char* name;
  std::string bytes;
  ListForm form;
};

// How a file is read, under the ANSI code pages of Japanese Windows: 932, and
// 65001 where Windows uses UTF-8 for it; there the code page form is 932.
TEST(ListFormTest, TheBytesDecideTheForm) {
  const EncodingCase cases[] = {
      {"marked_utf8",
       "\xEF\xBB\xBF"
       "C:\\\xE8\xB3\x87\xE6\x96\x99\r\n",
       ListForm::kMarkedUtf8},
      {"mark_before_invalid_utf8", "\xEF\xBB\xBF\x8E\x91\r\n", ListForm::kMarkedUtf8},
      // C:\資料\報告.xlsx as Notepad saves it.
      {"unmarked_utf8", "C:\\\xE8\xB3\x87\xE6\x96\x99\\\xE5\xA0\xB1\xE5\x91\x8A.xlsx\r\n",
       ListForm::kUnmarkedUtf8},
      {"ascii", "C:\\Tools\\a.exe\r\nnotepad.exe\r\n", ListForm::kCodePage},
      {"empty", "", ListForm::kCodePage},
      // ﾃｽ in code page 932 is C3 BD, which is also UTF-8 (ý): UTF-8 wins.
      {"code_page_932_that_is_utf8", "\xC3\xBD\r\n", ListForm::kUnmarkedUtf8},
      // The same path in code page 932.
      {"invalid_utf8", "C:\\\x8E\x91\x97\xBF\\\x95\xF1\x8D\x90.xlsx\r\n", ListForm::kCodePage},
      {"utf8_cut_short", "\xE8\xB3", ListForm::kCodePage},
  };
  for (const unsigned ansiCodePage : {932U, 65001U}) {
    for (const EncodingCase& c : cases) {
      const unsigned codePage = c.form == ListForm::kCodePage ? 932 : 0;
      EXPECT_EQ(ListEncodingOf(c.bytes, ansiCodePage), (ListEncoding{c.form, codePage}))
          << c.name << " under " << ansiCodePage;
    }
  }
  // Elsewhere the code page form is the system's own.
  EXPECT_EQ(ListEncodingOf("a\xE9\r\n", 1252), (ListEncoding{ListForm::kCodePage, 1252}));
}

// The code page form goes through the platform in the code page decided.
TEST(ListFormTest, TheCodePageFormUses932WhereTheAnsiCodePageIsUtf8) {
  testing::FakeSystem system;
  system.ansiCodePage = 65001;
  EXPECT_EQ(DecodeEntryList(system, "caf\xE9\r\n"), std::vector<std::wstring>{L"caf\u00e9"});
  EXPECT_EQ(system.lastCodePage, 932U);
  system.lastCodePage = 0;
  EXPECT_EQ(EncodeEntryList(system, {L"caf\u00e9"}), "caf\xE9\r\n");
  EXPECT_EQ(system.lastCodePage, 932U);
}

// The file stays byte for byte as it always was while every entry fits the
// code page; one that does not turns the whole file into UTF-8 with the mark,
// written by the same line rule.
TEST(ListFormTest, ChoosesTheFormByWhetherEveryEntryFits) {
  testing::FakeSystem system;
  EXPECT_EQ(EncodeEntryList(system, {L"caf\u00e9", L"a,b", L""}), "caf\xE9\r\n\"a,b\"\r\n\r\n");
  EXPECT_EQ(EncodeEntryList(system, {}), "");
  const std::vector<std::wstring> mixed = {L"caf\u00e9", L"C:\\\U0001F600 x,y.txt", L""};
  const std::string utf8 = EncodeEntryList(system, mixed);
  EXPECT_EQ(utf8,
            "\xEF\xBB\xBF"
            "caf\xC3\xA9\r\n\"C:\\\xF0\x9F\x98\x80 x,y.txt\"\r\n\r\n");
  EXPECT_EQ(DecodeEntryList(system, utf8), mixed);
  // Back within the code page after an edit: back to the old form.
  EXPECT_EQ(EncodeEntryList(system, {L"caf\u00e9"}), "caf\xE9\r\n");
  // Code page bytes that would be read as UTF-8 are written as UTF-8: ones
  // that begin with the mark, and ones that are well-formed UTF-8.
  for (const std::vector<std::wstring>& readAsUtf8 : {std::vector<std::wstring>{L"\u00ef\u00bb\u00bfx"},
                                                      std::vector<std::wstring>{L"a", L"\u00c3\u00bd"}}) {
    const std::string bytes = EncodeEntryList(system, readAsUtf8);
    EXPECT_TRUE(bytes.starts_with(kUtf8Mark));
    EXPECT_EQ(DecodeEntryList(system, bytes), readAsUtf8);
  }
}

// A whole list is written line after line into one file, each line by the
// rule EncodeEntryLine applies alone, whatever the lines before it were; and
// read back whole, also when items outnumber the lines (commas) or the last
// line has no line end.
TEST(ListFormTest, WholeListsAreTheirLinesInBothForms) {
  testing::FakeSystem system;
  std::mt19937 random(32767);
  const std::wstring alphabet = L"ab ,\t\"\u00e9";
  std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
  std::vector<std::wstring> entries;
  std::string ansiLines;
  for (int i = 0; i < 3000; ++i) {
    std::wstring entry;
    for (int k = 0; k < i % 9; ++k) entry += alphabet[pick(random)];
    entries.push_back(entry);
    ansiLines += EncodeEntryLine(*system.ToAnsi(entry));
  }
  EXPECT_EQ(EncodeEntryList(system, entries), ansiLines);

  entries.push_back(L"\ud55c");
  std::string utf8Lines(kUtf8Mark);
  for (const std::wstring& entry : entries) utf8Lines += EncodeEntryLine(ToUtf8(entry));
  EXPECT_EQ(EncodeEntryList(system, entries), utf8Lines);

  EXPECT_EQ(DecodeEntryList(system, "a,b,c\r\nd,e\r\n\"f,g\",h"),
            (std::vector<std::wstring>{L"a", L"b", L"c", L"d", L"e", L"f,g", L"h"}));
  EXPECT_EQ(DecodeEntryList(system, "\xEF\xBB\xBFx,y\rz"), (std::vector<std::wstring>{L"x", L"y", L"z"}));
}

TEST(EntryListFileTest, MissingAndUnreadableFilesAreToldApart) {
  testing::FakeSystem system;
  EXPECT_EQ(ReadEntryList(system, L"C:\\T\\OMBREL.DAT").status, ReadStatus::kMissing);
  system.files[L"C:\\T\\OMBREL.DAT"] = "a\r\n";
  system.unreadable.insert(L"C:\\T\\OMBREL.DAT");
  const EntryListRead unreadable = ReadEntryList(system, L"C:\\T\\OMBREL.DAT");
  EXPECT_EQ(unreadable.status, ReadStatus::kUnreadable);
  EXPECT_TRUE(unreadable.entries.empty());
}

TEST(EntryListFileTest, WritesTheWholeFileInOneReplacement) {
  testing::FakeSystem system;
  const ListSave saved = WriteEntryList(system, L"C:\\T\\OMBREL.DAT", {L"a", L"x,y", L""});
  ASSERT_TRUE(saved);
  EXPECT_EQ(system.files[L"C:\\T\\OMBREL.DAT"], "a\r\n\"x,y\"\r\n\r\n");
  EXPECT_EQ(system.log, (std::vector<std::string>{"replace C:\\T\\OMBREL.DAT"}));
  // What was written is what a read finds: a later save compares with it.
  EXPECT_EQ(saved.written, system.ReadAll(L"C:\\T\\OMBREL.DAT"));
  ASSERT_TRUE(WriteEntryList(system, L"C:\\T\\OMBREL.DAT", {}));
  EXPECT_EQ(system.files[L"C:\\T\\OMBREL.DAT"], "");
}

TEST(EntryListFileTest, FailedWriteIsReportedAndKeepsTheOldFile) {
  testing::FakeSystem system;
  system.files[L"C:\\T\\OMBREL.DAT"] = "old\r\n";
  system.unwritable.insert(L"C:\\T\\OMBREL.DAT");
  EXPECT_EQ(WriteEntryList(system, L"C:\\T\\OMBREL.DAT", {L"new"}).status, SaveStatus::kFailed);
  EXPECT_EQ(system.files[L"C:\\T\\OMBREL.DAT"], "old\r\n");
}

TEST(TemporaryTest, NamedAfterTheCrcAndSizeOfItsContent) {
  EXPECT_EQ(Crc32("123456789"), 0xCBF43926U);  // the check value of CRC-32
  EXPECT_EQ(TemporaryPath(L"C:\\T\\OMBREL.DAT", "123456789", 0), L"C:\\T\\OMBREL.DAT.CBF43926-9.tmp");
  EXPECT_EQ(TemporaryPath(L"C:\\T\\OMBREL.DAT", "", 2), L"C:\\T\\OMBREL.DAT.00000000-0-2.tmp");
}

struct RecoveryCase {
  const char* name;
  // Written in this order beside a list that is missing unless named.
  std::vector<std::pair<std::wstring, std::string>> files;
  ReadStatus status;
  std::optional<std::wstring> recoveredFrom;  // nothing: not recovered
};

const std::wstring kList = L"C:\\T\\OMBREL.DAT";
const std::string kSaved = "a\r\nb\r\n";

std::wstring Temporary(const std::string& bytes, unsigned attempt = 0) {
  return TemporaryPath(kList, bytes, attempt);
}

// Which temporary stands in for the list: only a complete one, of a missing
// list.
TEST(TemporaryTest, OnlyACompleteTemporaryOfAMissingListIsRead) {
  const std::string older = "older\r\n";
  const RecoveryCase cases[] = {
      {"complete", {{Temporary(kSaved), kSaved}}, ReadStatus::kRead, Temporary(kSaved)},
      {"later_attempt", {{Temporary(kSaved, 3), kSaved}}, ReadStatus::kRead, Temporary(kSaved, 3)},
      {"cut_short", {{Temporary(kSaved), kSaved.substr(0, 4)}}, ReadStatus::kMissing, std::nullopt},
      {"never_flushed",
       {{Temporary(kSaved), std::string(kSaved.size(), '\0')}},
       ReadStatus::kMissing,
       std::nullopt},
      {"not_ours",
       {{kList + L".new", kSaved}, {kList + L".bak", kSaved}, {kList + L".1234567-8.tmp", ""}},
       ReadStatus::kMissing,
       std::nullopt},
      {"newest_of_two",
       {{Temporary(kSaved), kSaved}, {Temporary(older), older}},
       ReadStatus::kRead,
       Temporary(older)},
      {"list_present", {{kList, kSaved}, {Temporary(older), older}}, ReadStatus::kRead, std::nullopt},
  };
  for (const RecoveryCase& c : cases) {
    testing::FakeSystem system;
    for (const auto& [path, bytes] : c.files) ASSERT_TRUE(system.WriteAll(path, bytes)) << c.name;
    system.log.clear();
    const EntryListRead list = ReadEntryList(system, kList);
    EXPECT_EQ(list.status, c.status) << c.name;
    EXPECT_EQ(list.recoveredFrom, c.recoveredFrom.value_or(L"")) << c.name;
    if (c.recoveredFrom) {
      EXPECT_EQ(list.entries, DecodeEntryList(system, system.files[*c.recoveredFrom])) << c.name;
      // The list itself is what a save checks against: missing.
      EXPECT_EQ(list.file.status, ReadStatus::kMissing) << c.name;
    }
    for (const std::string& entry : system.log) {
      EXPECT_TRUE(entry.ends_with(".tmp") || entry.ends_with("OMBREL.DAT")) << c.name << ": " << entry;
    }
  }
  // Missing only: an unreadable list is never replaced by its temporary.
  testing::FakeSystem system;
  ASSERT_TRUE(system.WriteAll(Temporary(kSaved), kSaved));
  system.files[kList] = "held";
  system.unreadable.insert(kList);
  EXPECT_EQ(ReadEntryList(system, kList).status, ReadStatus::kUnreadable);
}

// Once a save has put the list in place, the temporaries earlier saves left
// are of no use: removed, and nothing else.
TEST(TemporaryTest, ASaveRemovesTheTemporariesLeftBesideTheList) {
  testing::FakeSystem system;
  system.files = {{Temporary(kSaved), kSaved}, {Temporary(kSaved, 1), "a"}, {kList + L".new", "stale"}};
  system.unwritable.insert(kList);
  EXPECT_FALSE(WriteEntryList(system, kList, {L"x"}));
  EXPECT_EQ(system.files.size(), 3U);
  system.unwritable.clear();
  ASSERT_TRUE(WriteEntryList(system, kList, {L"x"}));
  EXPECT_EQ(system.files,
            (std::map<std::wstring, std::string>{{kList, "x\r\n"}, {kList + L".new", "stale"}}));
}

}  // namespace
}  // namespace ombrel
