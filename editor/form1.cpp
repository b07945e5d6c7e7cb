#include "form1.h"

#include <commctrl.h>
#include <commdlg.h>

#include <algorithm>
#include <array>
#include <vector>

#include "dpi.h"
#include "file01.h"
#include "layout.h"
#include "resource.h"

namespace ombrel::editor {

namespace {

constexpr wchar_t kClassName[] = L"OmbrelSetForm1";
// A fixed single border: the layout never adapts to another size.
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr DWORD kExStyle = 0;
// Room for any path the open-file dialog can give, long paths included.
constexpr DWORD kFileNameCapacity = 32 * 1024;

struct ControlClass {
  const wchar_t* className;
  DWORD style;
  DWORD exStyle;
};

ControlClass ClassOf(ControlKind kind) {
  switch (kind) {
    case ControlKind::kButton:
      return {WC_BUTTONW, BS_PUSHBUTTON | WS_TABSTOP, 0};
    case ControlKind::kEdit:
      return {WC_EDITW, ES_LEFT | ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE};
    case ControlKind::kList:
      // The height is the table's, not rounded to whole lines; a double-click
      // must reach the window.
      return {WC_LISTBOXW, LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE};
    case ControlKind::kFrame:
      // Only the top edge of the frame shows: an etched rule.
      return {WC_STATICW, SS_ETCHEDHORZ, 0};
    case ControlKind::kLabel:
      return {WC_STATICW, SS_LEFT | SS_NOPREFIX, 0};
  }
  return {WC_STATICW, 0, 0};
}

UINT MessageBoxStyle(MessageKind kind) {
  switch (kind) {
    case MessageKind::kWarning:
      return MB_ICONEXCLAMATION | MB_OK;
    case MessageKind::kLeaveQuestion:
      return MB_ICONEXCLAMATION | MB_YESNO;
    case MessageKind::kRunAgainQuestion:
      return MB_ICONQUESTION | MB_YESNO | MB_DEFBUTTON1;
    case MessageKind::kInformation:
      return MB_ICONINFORMATION | MB_OK;
  }
  return MB_OK;
}

// "label|pattern|label|pattern" as the dialog wants it: each piece ended by a
// NUL, and one more NUL at the end.
std::wstring DialogFilter(const std::wstring& filter) {
  std::wstring pairs = filter;
  std::replace(pairs.begin(), pairs.end(), L'|', L'\0');
  pairs.push_back(L'\0');
  pairs.push_back(L'\0');
  return pairs;
}

}  // namespace

Form1::Form1(HINSTANCE instance)
    : instance_(instance),
      open_([this](WindowHandle, const std::wstring& text) { ShowMessage(MessageKind::kWarning, text); }),
      editor_(*this, system_, open_, App_Dir()) {}

Form1::~Form1() {
  // Only when the program leaves some other way than EndProgram: the window
  // must not outlive the object its procedure points to.
  if (hwnd_ != nullptr) {
    ending_ = true;
    ::DestroyWindow(hwnd_);
  }
}

bool Form1::Create() {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.style = CS_DBLCLKS;
  windowClass.lpfnWndProc = &Form1::WindowProc;
  windowClass.hInstance = instance_;
  windowClass.hIcon = ::LoadIconW(instance_, MAKEINTRESOURCEW(IDI_OMBREL));
  windowClass.hIconSm = static_cast<HICON>(::LoadImageW(instance_, MAKEINTRESOURCEW(IDI_OMBREL), IMAGE_ICON,
                                                        ::GetSystemMetrics(SM_CXSMICON),
                                                        ::GetSystemMetrics(SM_CYSMICON), LR_SHARED));
  windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = kClassName;
  if (::RegisterClassExW(&windowClass) == 0) return false;

  win::ScopedMenu menu(::LoadMenuW(instance_, MAKEINTRESOURCEW(IDR_FORM1_MENU)));
  // The size is set once the window knows its DPI; the place at load.
  if (::CreateWindowExW(kExStyle, kClassName, LoadText(IDS_PROGRAM_TITLE).c_str(), kStyle, CW_USEDEFAULT,
                        CW_USEDEFAULT, 0, 0, nullptr, menu.get(), instance_, this) == nullptr) {
    // A window that failed in WM_CREATE has destroyed its menu already.
    if (!::IsMenu(menu.get())) menu.release();
    return false;
  }
  // The window owns its menu now and destroys it with itself.
  menu.release();
  return true;
}

LRESULT CALLBACK Form1::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<Form1*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    self->hwnd_ = window;
    ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<Form1*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
  if (self == nullptr) return ::DefWindowProcW(window, message, wParam, lParam);
  return self->HandleMessage(message, wParam, lParam);
}

LRESULT Form1::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      return OnCreate() ? 0 : -1;
    case WM_COMMAND:
      OnCommand(LOWORD(wParam), HIWORD(wParam));
      return 0;
    case WM_CLOSE:
      OnClose();
      return 0;
    case WM_ACTIVATE:
      OnActivate(wParam);
      break;
    case WM_SETFOCUS:
      OnSetFocus();
      return 0;
    case WM_DPICHANGED:
      OnDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
      return 0;
    case WM_DESTROY:
      OnDestroy();
      return 0;
    case WM_NCDESTROY: {
      const HWND window = hwnd_;
      OnNcDestroy();
      return ::DefWindowProcW(window, message, wParam, lParam);
    }
    default:
      break;
  }
  return ::DefWindowProcW(hwnd_, message, wParam, lParam);
}

bool Form1::OnCreate() {
  dpi_ = WindowDpi(hwnd_);
  const SIZE client{TwipsToPixels(kClientWidthTwips, static_cast<int>(dpi_)),
                    TwipsToPixels(kClientHeightTwips, static_cast<int>(dpi_))};
  const SIZE outer = OuterSizeForClient(client, kStyle, kExStyle, true, dpi_);
  ::SetWindowPos(hwnd_, nullptr, 0, 0, outer.cx, outer.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  // A menu bar that wraps onto a second line takes its height from the
  // client area: grow the window by what is missing.
  RECT actual{};
  ::GetClientRect(hwnd_, &actual);
  if (actual.right != client.cx || actual.bottom != client.cy) {
    ::SetWindowPos(hwnd_, nullptr, 0, 0, outer.cx + client.cx - actual.right,
                   outer.cy + client.cy - actual.bottom, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  CreateFonts();
  return CreateControls();
}

bool Form1::CreateControls() {
  // Created in tab-index order: the order of the window's children is the
  // order in which Tab visits them.
  std::array<ControlLayout, std::size(kForm1Controls)> byTabIndex{};
  std::copy(std::begin(kForm1Controls), std::end(kForm1Controls), byTabIndex.begin());
  std::ranges::sort(byTabIndex, {}, &ControlLayout::tabIndex);
  for (const ControlLayout& layout : byTabIndex) {
    const ControlClass kind = ClassOf(layout.kind);
    const std::wstring caption = layout.captionId != 0 ? LoadText(layout.captionId) : std::wstring();
    const HWND control = ::CreateWindowExW(
        kind.exStyle, kind.className, caption.c_str(), WS_CHILD | WS_VISIBLE | kind.style, 0, 0, 0, 0, hwnd_,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(layout.id)), instance_, nullptr);
    if (control == nullptr) return false;
    controls_.at(static_cast<std::size_t>(layout.id - IDC_FRAME1)) = control;
    const HFONT font = layout.id == IDC_COMMAND7 ? command7Font_.get() : uiFont_.get();
    ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  }
  // Text1 has no maximum length of its own.
  ::SendMessageW(Control(IDC_TEXT1), EM_SETLIMITTEXT, 0, 0);
  PlaceControls();
  lastFocus_ = Control(IDC_LIST1);
  return true;
}

void Form1::CreateFonts() {
  LOGFONTW ui = MessageFont(dpi_);
  uiFont_.reset(::CreateFontIndirectW(&ui));

  LOGFONTW command7{};
  command7.lfHeight = -::MulDiv(static_cast<int>(kCommand7FontPoints * 10), static_cast<int>(dpi_), 720);
  command7.lfWeight = FW_NORMAL;
  command7.lfCharSet = SHIFTJIS_CHARSET;
  const std::wstring face = LoadText(IDS_COMMAND7_FONT);
  face.copy(command7.lfFaceName, LF_FACESIZE - 1);
  command7Font_.reset(::CreateFontIndirectW(&command7));
}

void Form1::PlaceControls() {
  const int dpi = static_cast<int>(dpi_);
  for (const ControlLayout& layout : kForm1Controls) {
    ::MoveWindow(Control(layout.id), TwipsToPixels(layout.left, dpi), TwipsToPixels(layout.top, dpi),
                 TwipsToPixels(layout.width, dpi), TwipsToPixels(layout.height, dpi), TRUE);
  }
}

void Form1::StretchFrame() {
  const HWND frame = Control(IDC_FRAME1);
  RECT rect{};
  ::GetWindowRect(frame, &rect);
  ::SetWindowPos(frame, nullptr, 0, 0, OuterSize().cx, rect.bottom - rect.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

SIZE Form1::OuterSize() const {
  RECT rect{};
  ::GetWindowRect(hwnd_, &rect);
  return {rect.right - rect.left, rect.bottom - rect.top};
}

HWND Form1::Control(int id) const { return controls_.at(static_cast<std::size_t>(id - IDC_FRAME1)); }

void Form1::Show(int showCommand) {
  Load();
  ::ShowWindow(hwnd_, showCommand);
  ::UpdateWindow(hwnd_);
  // Also when the window was shown without being activated.
  ::SetFocus(Control(IDC_LIST1));
}

void Form1::Load() {
  ProcessPendingMessages();

  const int dpi = static_cast<int>(dpi_);
  const SIZE outer = OuterSize();
  const PlacementTwips place = PlaceForm1(PixelsToTwips(::GetSystemMetrics(SM_CXSCREEN), dpi),
                                          PixelsToTwips(::GetSystemMetrics(SM_CYSCREEN), dpi),
                                          PixelsToTwips(outer.cx, dpi), PixelsToTwips(outer.cy, dpi));
  ::SetWindowPos(hwnd_, nullptr, TwipsToPixels(place.left, dpi), TwipsToPixels(place.top, dpi), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);

  ::SetWindowTextW(hwnd_, editor_.Title(system_.Now()).c_str());
  StretchFrame();

  // A long list is drawn once, when it is complete.
  const HWND list = Control(IDC_LIST1);
  ::SendMessageW(list, WM_SETREDRAW, FALSE, 0);
  editor_.Dat_Get();
  ::SendMessageW(list, WM_SETREDRAW, TRUE, 0);
  ::InvalidateRect(list, nullptr, TRUE);
}

void Form1::ProcessPendingMessages() {
  MSG message;
  while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      // Not ours to take: the loop that follows must see it.
      ::PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    if (!PreTranslateMessage(message)) {
      ::TranslateMessage(&message);
      ::DispatchMessageW(&message);
    }
  }
}

bool Form1::PreTranslateMessage(MSG& message) {
  return hwnd_ != nullptr && ::IsDialogMessageW(hwnd_, &message);
}

void Form1::OnCommand(int id, int code) {
  if (ending_) return;
  if (id == IDC_LIST1) {
    if (code == LBN_DBLCLK) editor_.List1_DblClick();
    return;
  }
  // A button's click and a menu item both come with code 0; Text1's
  // notifications (typing) and the list's others have no handler.
  if (code != BN_CLICKED) return;
  // The wiring of the window: which control or menu item gives which
  // command. Enter and Esc reach the window as IDOK and IDCANCEL and find
  // nothing here: it has neither a default nor a cancel button.
  struct Wiring {
    int id;
    void (Editor::*command)();
  };
  static constexpr Wiring kWiring[] = {
      {IDC_COMMAND1, &Editor::Command1_Click}, {IDC_COMMAND2, &Editor::Command2_Click},
      {IDC_COMMAND3, &Editor::Command3_Click}, {IDC_COMMAND4, &Editor::Command4_Click},
      {IDC_COMMAND5, &Editor::Command5_Click}, {IDC_COMMAND6, &Editor::Command6_Click},
      {IDC_COMMAND7, &Editor::Command7_Click}, {IDC_COMMAND8, &Editor::Command8_Click},
      {IDM_SAVE, &Editor::Save_Click},         {IDM_CAN, &Editor::CAN_Click},
      {IDM_END, &Editor::END_Click},           {IDM_HELP, &Editor::HELP_Click},
      {IDM_ABOUT, &Editor::ABOUT_Click},
  };
  for (const Wiring& wiring : kWiring) {
    if (wiring.id == id) {
      (editor_.*wiring.command)();
      return;
    }
  }
}

void Form1::OnClose() {
  // Closing is End_Rtn's to decide; the window is destroyed only through
  // EndProgram, never by DefWindowProc.
  if (!ending_) editor_.Form_Unload();
}

void Form1::OnActivate(WPARAM wParam) {
  if (LOWORD(wParam) != WA_INACTIVE) return;
  const HWND focus = ::GetFocus();
  if (focus != nullptr && ::IsChild(hwnd_, focus)) lastFocus_ = focus;
}

void Form1::OnSetFocus() {
  if (lastFocus_ != nullptr && ::IsWindow(lastFocus_)) ::SetFocus(lastFocus_);
}

void Form1::OnDpiChanged(UINT dpi, const RECT& suggested) {
  // Moved to a screen of another DPI: the same layout, at that screen's scale.
  dpi_ = dpi;
  CreateFonts();
  for (const ControlLayout& layout : kForm1Controls) {
    const HFONT font = layout.id == IDC_COMMAND7 ? command7Font_.get() : uiFont_.get();
    ::SendMessageW(Control(layout.id), WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  }
  const SIZE client{TwipsToPixels(kClientWidthTwips, static_cast<int>(dpi)),
                    TwipsToPixels(kClientHeightTwips, static_cast<int>(dpi))};
  const SIZE outer = OuterSizeForClient(client, kStyle, kExStyle, true, dpi);
  ::SetWindowPos(hwnd_, nullptr, suggested.left, suggested.top, outer.cx, outer.cy,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  PlaceControls();
  StretchFrame();
  ::InvalidateRect(hwnd_, nullptr, TRUE);
}

void Form1::OnDestroy() { ::PostQuitMessage(0); }

void Form1::OnNcDestroy() {
  ::SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
  hwnd_ = nullptr;
  controls_ = {};
  lastFocus_ = nullptr;
}

std::ptrdiff_t Form1::ListCount() {
  const LRESULT count = ::SendMessageW(Control(IDC_LIST1), LB_GETCOUNT, 0, 0);
  return count == LB_ERR ? 0 : count;
}

std::wstring Form1::ListItem(std::ptrdiff_t index) {
  const HWND list = Control(IDC_LIST1);
  const LRESULT length = ::SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
  if (length == LB_ERR) return {};
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const LRESULT copied =
      ::SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
  text.resize(copied == LB_ERR ? 0 : static_cast<std::size_t>(copied));
  return text;
}

void Form1::InsertListItem(std::ptrdiff_t index, const std::wstring& text) {
  const HWND list = Control(IDC_LIST1);
  const std::ptrdiff_t selected = ListSelection();
  ::SendMessageW(list, LB_INSERTSTRING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.c_str()));
  // A list box does not promise to keep its selection on the same entry
  // when one is inserted in front of it.
  if (selected >= 0 && selected >= index) SetListSelection(selected + 1);
}

void Form1::RemoveListItem(std::ptrdiff_t index) {
  ::SendMessageW(Control(IDC_LIST1), LB_DELETESTRING, static_cast<WPARAM>(index), 0);
}

std::ptrdiff_t Form1::ListSelection() {
  const LRESULT selected = ::SendMessageW(Control(IDC_LIST1), LB_GETCURSEL, 0, 0);
  return selected == LB_ERR ? -1 : selected;
}

void Form1::SetListSelection(std::ptrdiff_t index) {
  ::SendMessageW(Control(IDC_LIST1), LB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void Form1::ReserveListItems(std::size_t count, std::size_t characters) {
  // Room for the whole list at once, rather than a few entries at a time
  // while a long list loads.
  ::SendMessageW(Control(IDC_LIST1), LB_INITSTORAGE, count,
                 static_cast<LPARAM>((characters + count) * sizeof(wchar_t)));
}

std::wstring Form1::EditText() {
  const HWND edit = Control(IDC_TEXT1);
  std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(edit)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(::GetWindowTextW(edit, text.data(), static_cast<int>(text.size()))));
  return text;
}

void Form1::SetEditText(const std::wstring& text) { ::SetWindowTextW(Control(IDC_TEXT1), text.c_str()); }

std::wstring Form1::LoadText(int id) {
  // The resource itself, not a copy into a buffer of guessed size: long texts
  // and trailing spaces come through whole.
  const wchar_t* resource = nullptr;
  const int length = ::LoadStringW(instance_, static_cast<UINT>(id), reinterpret_cast<LPWSTR>(&resource), 0);
  return length > 0 && resource != nullptr ? std::wstring(resource, static_cast<std::size_t>(length))
                                           : std::wstring();
}

Answer Form1::ShowMessage(MessageKind kind, const std::wstring& text) {
  const std::wstring caption = LoadText(IDS_PROGRAM_TITLE);
  switch (::MessageBoxW(hwnd_, text.c_str(), caption.c_str(), MessageBoxStyle(kind))) {
    case IDYES:
      return Answer::kYes;
    case IDNO:
      return Answer::kNo;
    default:
      return Answer::kOk;
  }
}

std::optional<std::wstring> Form1::ShowOpenFileDialog(const std::wstring& title, const std::wstring& filter) {
  const std::wstring pairs = DialogFilter(filter);
  std::vector<wchar_t> fileName(kFileNameCapacity, L'\0');
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = hwnd_;
  dialog.lpstrFilter = pairs.c_str();
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = fileName.data();
  dialog.nMaxFile = kFileNameCapacity;
  dialog.lpstrTitle = title.c_str();
  // The dialog's own defaults otherwise; opening "read-only" means nothing for
  // a path that only goes into the edit box.
  dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY;
  if (!::GetOpenFileNameW(&dialog)) return std::nullopt;
  return std::wstring(fileName.data());
}

WindowHandle Form1::Handle() { return reinterpret_cast<WindowHandle>(hwnd_); }

void Form1::EndProgram() {
  ending_ = true;
  // WM_DESTROY ends the message loop; with the window gone no handler can
  // run again.
  if (hwnd_ != nullptr) ::DestroyWindow(hwnd_);
}

}  // namespace ombrel::editor
