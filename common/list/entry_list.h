// The entry list file OMBREL.DAT: how its bytes turn into items and back.
//
// The programs write two forms. As always, it is in the system's ANSI code
// page (932 on Japanese Windows); only when an entry holds a character that
// code page cannot hold is the whole file UTF-8, behind the mark EF BB BF.
// They read a third: UTF-8 without the mark, as Notepad saves it. The reader
// splits items on the bytes of any form: every byte it looks for (blank, tab,
// comma, quotation mark, CR, LF) lies below 0x40, so it never occurs inside a
// double-byte character of code page 932 nor inside a multi-byte character of
// UTF-8.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "common/port/system_port.h"

namespace ombrel {

// Reads a file item by item. An item ends at a comma or a line end; a line end
// is CR LF, a lone CR or a lone LF. Blanks (spaces and tabs) in front of an
// item are skipped and blanks at its end dropped. An item that starts with a
// quotation mark runs to the next quotation mark on the same line, commas and
// blanks included; if other text follows that closing mark before the next
// comma or line end, the item is kept as it stands in the file, marks
// included, so a quoted command line with arguments survives. A mark that is
// not closed on its line is an ordinary character.
class ItemReader {
 public:
  explicit ItemReader(std::string_view bytes) : bytes_(bytes) {}

  // True when no item is left. Checked before every item, so an empty file
  // yields none and a file that ends with a line end or a comma yields no
  // extra item.
  [[nodiscard]] bool AtEnd() const { return pos_ >= bytes_.size(); }

  // The next item; consumes the comma or line end that ends it.
  [[nodiscard]] std::string Next();
  // The same item as a view into the bytes, which must outlive it: no copy.
  [[nodiscard]] std::string_view NextView();

 private:
  [[nodiscard]] std::size_t LineEndOrComma(std::size_t from) const;
  void ConsumeDelimiter();

  std::string_view bytes_;
  std::size_t pos_ = 0;
};

// Every item of a file, in order.
[[nodiscard]] std::vector<std::string> ReadItems(std::string_view bytes);

// One entry as a line of the file, CR LF included. An entry that would not
// read back unchanged as a bare line and holds no quotation mark is written
// between quotation marks. One that no form can carry is written bare: one
// holding a line end, one wholly between quotation marks ("abc"), and one
// holding a quotation mark together with edge blanks or with a comma outside
// the quoted part it starts with ("C:\a,b\app.exe" /min is carried).
[[nodiscard]] std::string EncodeEntryLine(std::string_view entry);

// The mark in front of a file in the UTF-8 form.
inline constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

enum class ListForm {
  kMarkedUtf8,    // behind the mark, as the programs write UTF-8
  kUnmarkedUtf8,  // without the mark, as Notepad saves
  kCodePage,
};

struct ListEncoding {
  ListForm form = ListForm::kCodePage;
  unsigned codePage = 0;  // of the code page form; 0 for the UTF-8 forms
  bool operator==(const ListEncoding&) const = default;
};

// The code page of the code page form on a system of this ANSI code page: that
// code page, except where Windows uses UTF-8 (65001) as the ANSI code page;
// there it is 932, so that a list written on any Japanese system reads the
// same.
[[nodiscard]] unsigned ListCodePage(unsigned ansiCodePage);

// How a file's bytes are read: as UTF-8 when they start with the mark; as
// UTF-8 too when they are well-formed UTF-8 holding a byte above 7F; else in
// the code page. Code page 932 bytes that happen to be well-formed UTF-8 read
// as UTF-8, which is why a save never writes such bytes (EncodeEntryList).
[[nodiscard]] ListEncoding ListEncodingOf(std::string_view bytes, unsigned ansiCodePage);

// The entries a file's bytes hold, in whichever form they are. Bytes that are
// no character of their form (a damaged or hand-edited file) become the
// platform's replacement characters; nothing is dropped.
[[nodiscard]] std::vector<std::wstring> DecodeEntryList(SystemPort& system, std::string_view bytes);

// The file for a list: in the code page form, exactly as it has always been
// written, when every entry fits it and the bytes would read back in that
// form; else the whole list as UTF-8 behind the mark. An empty list is zero
// bytes.
[[nodiscard]] std::string EncodeEntryList(SystemPort& system, const std::vector<std::wstring>& entries);

struct EntryListRead {
  // kRead also when a complete temporary stood in for a missing list.
  ReadStatus status = ReadStatus::kMissing;
  std::vector<std::wstring> entries;  // when read
  // The list file itself as this read found it, missing or not: a save checks
  // the file against it.
  FileRead file;
  // The complete temporary read because the list was missing; else empty.
  std::wstring recoveredFrom;
};

// The file at `path`, as Unicode entries. A missing list is a quiet, defined
// outcome for every caller; one that exists but cannot be read is not. When
// the list is missing and a save cut short left a complete temporary of it
// (list_temporary.h), that is read instead.
[[nodiscard]] EntryListRead ReadEntryList(SystemPort& system, const std::wstring& path);

struct ListSave {
  SaveStatus status = SaveStatus::kFailed;
  // When saved: the file as a read of it now would find it.
  FileRead written;
  explicit operator bool() const { return status == SaveStatus::kSaved; }
};

// Replaces the file at `path` with the list in one step, so that a reader at
// the same moment sees the old list or the new one, then removes the
// temporaries earlier saves left beside it. When it fails the old file is
// unchanged.
[[nodiscard]] ListSave WriteEntryList(SystemPort& system, const std::wstring& path,
                                      const std::vector<std::wstring>& entries);

}  // namespace ombrel
