#include "editor.h"

#include <utility>
#include <vector>

#include "char.h"
#include "entry_list.h"
#include "file01.h"
#include "resource.h"
#include "stamp.h"
#include "system_port.h"
#include "version.h"

namespace ombrel::editor {

namespace {

// Line breaks inside message texts are single carriage returns.
constexpr wchar_t kBreak[] = L"\r";
constexpr std::intptr_t kShellSuccessAbove = 32;

}  // namespace

Editor::Editor(EditorView& view, SystemPort& system, OpenPort& open, std::wstring programFolder)
    : view_(view), system_(system), open_(open), folder_(std::move(programFolder)) {}

WindowHandle Editor::Handle() { return view_.Handle(); }

void Editor::Warn(const std::wstring& text) { view_.ShowMessage(MessageKind::kWarning, text); }

std::wstring Editor::Title(const LocalTime& now) {
  return view_.LoadText(IDS_TITLE_PREFIX) + DateText(now) + L"  " + TimeText(now);
}

void Editor::Dat_Get() {
  // Set before the file is tried, so that a later save creates it here even
  // when it was missing.
  entryListPath_ = folder_ + kEntryListFileName;
  std::ptrdiff_t count = 0;
  if (const auto entries = ReadEntryList(system_, entryListPath_)) {
    std::size_t characters = 0;
    for (const std::wstring& entry : *entries) characters += entry.size();
    view_.ReserveListItems(entries->size(), characters);
    for (const std::wstring& entry : *entries) view_.InsertListItem(count++, entry);
  }
  if (count > 0) {
    view_.SetEditText(view_.ListItem(0));
    view_.SetListSelection(0);
  } else {
    view_.SetEditText(L"");
    view_.SetListSelection(-1);
  }
}

bool Editor::Dat_Put() {
  std::vector<std::wstring> entries;
  const std::ptrdiff_t count = view_.ListCount();
  entries.reserve(static_cast<std::size_t>(count));
  for (std::ptrdiff_t i = 0; i < count; ++i) entries.push_back(view_.ListItem(i));
  if (!WriteEntryList(system_, entryListPath_, entries)) {
    Warn(entryListPath_ + view_.LoadText(IDS_SAVE_FAILED));
    return false;
  }
  modified_ = 0;
  return true;
}

bool Editor::End_Rtn() {
  if (modified_ != 0) {
    const std::wstring question =
        view_.LoadText(IDS_LEAVE_QUESTION_1) + kBreak + entryListPath_ + view_.LoadText(IDS_LEAVE_QUESTION_2);
    if (view_.ShowMessage(MessageKind::kLeaveQuestion, question) == Answer::kYes && !Dat_Put()) {
      // The list could not be saved: ending now would lose it.
      return false;
    }
    modified_ = 0;
  }
  view_.EndProgram();
  return true;
}

void Editor::Sansyou() {
  const std::optional<std::wstring> chosen =
      view_.ShowOpenFileDialog(view_.LoadText(IDS_BROWSE_TITLE), view_.LoadText(IDS_BROWSE_FILTER));
  if (chosen && !chosen->empty()) view_.SetEditText(*chosen);
}

void Editor::Command2_Click() {
  const std::ptrdiff_t count = view_.ListCount();
  std::ptrdiff_t at = view_.ListSelection();
  // With entries but none selected, nothing the user typed is dropped: the
  // text goes to the end and becomes the selected entry.
  if (at < 0 || at > count) at = count;
  view_.InsertListItem(at, view_.EditText());
  view_.SetListSelection(at);
  modified_ = 1;
}

void Editor::Command3_Click() {
  const std::ptrdiff_t at = view_.ListSelection();
  if (at < 0) return;
  view_.SetEditText(view_.ListItem(at));
  view_.RemoveListItem(at);
  const std::ptrdiff_t remaining = view_.ListCount();
  if (remaining == 0) {
    view_.SetListSelection(-1);
  } else {
    view_.SetListSelection(remaining < at + 1 ? remaining - 1 : at);
  }
  modified_ = 1;
}

void Editor::Command6_Click() {
  view_.InsertListItem(view_.ListCount(), view_.EditText());
  modified_ = 1;
}

void Editor::List1_DblClick() {
  const std::ptrdiff_t at = view_.ListSelection();
  if (at >= 0) view_.SetEditText(view_.ListItem(at));
}

void Editor::Command4_Click() {
  // A save that failed has warned already; leaving now would lose the list.
  if (Dat_Put()) End_Rtn();
}

void Editor::Command5_Click() {
  modified_ = 0;
  End_Rtn();
}

void Editor::Command7_Click() {
  if (!StampClear(system_, folder_)) Warn(folder_ + kStampFileName + view_.LoadText(IDS_STAMP_FAILED));
}

void Editor::Run_rtn() {
  if (StampCheck(system_, folder_)) {
    const std::wstring question =
        view_.LoadText(IDS_RUN_AGAIN_1) + kBreak + kBreak + view_.LoadText(IDS_RUN_AGAIN_2);
    if (view_.ShowMessage(MessageKind::kRunAgainQuestion, question) != Answer::kYes) return;
  }
  // Unwritten, the stamp would let the launcher open everything again today;
  // the user is told, and the entries asked for still open.
  if (!StampRenew(system_, folder_)) Warn(folder_ + kStampFileName + view_.LoadText(IDS_STAMP_FAILED));
  const std::ptrdiff_t last = view_.ListCount() - 1;
  for (std::ptrdiff_t i = 0; i <= last; ++i) {
    Entry_Open(open_, ShellVariant::Editor, *this, view_.ListItem(i));
  }
}

void Editor::HELP_Click() {
  const std::wstring page = folder_ + kHelpFileName;
  if (!system_.IsOrdinaryFile(page)) {
    Warn(page + view_.LoadText(IDS_HELP_MISSING));
    return;
  }
  Help_Open(view_.Handle(), page);
}

void Editor::Help_Open(WindowHandle owner, const std::wstring& pagePath) {
  const std::wstring withExtension = pagePath + L".HTM";
  const std::wstring first = Char_Pos(pagePath, L".", 1) < 0 ? withExtension : pagePath;
  if (open_.ShellExecute(owner, first, L"c:\\") > kShellSuccessAbove) return;
  if (open_.ShellExecute(owner, withExtension, L"c:\\") > kShellSuccessAbove) return;
  Warn(view_.LoadText(IDS_NO_BROWSER_1) + kBreak + view_.LoadText(IDS_NO_BROWSER_2) + kBreak +
       view_.LoadText(IDS_NO_BROWSER_3));
}

void Editor::ABOUT_Click() {
  view_.ShowMessage(MessageKind::kInformation, view_.LoadText(IDS_ABOUT_NAME) + L" Ver " +
                                                   OMBREL_VERSION_SHORT + kBreak + kBreak +
                                                   view_.LoadText(IDS_ABOUT_NOTICE));
}

}  // namespace ombrel::editor
