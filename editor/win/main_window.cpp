#include "editor/win/main_window.h"

#include <algorithm>
#include <exception>
#include <memory>
#include <utility>

#include "common/list/program_folder.h"
#include "common/win/com_apartment.h"
#include "editor/model/layout.h"
#include "editor/win/controls.h"
#include "editor/win/dialogs.h"
#include "editor/win/dpi.h"
#include "editor/win/list_commands.h"

namespace ombrel::editor {

namespace {

// A fixed single border: the layout never adapts to another size.
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr DWORD kExStyle = 0;

// The answer of AskStartHealth's thread: a StartHealth made with new.
constexpr UINT kStartHealthMessage = WM_APP + 2;

// The wiring of the window: which control or menu item gives which command.
// Enter and Esc reach the window as IDOK and IDCANCEL and find nothing here:
// it has neither a default nor a cancel button.
struct Wiring {
  int id;
  void (*command)(Editor&);
};
constexpr Wiring kWiring[] = {
    {IDC_COMMAND1, [](Editor& e) { e.Browse(); }},
    {IDC_COMMAND2, [](Editor& e) { e.InsertEntry(); }},
    {IDC_COMMAND3, [](Editor& e) { e.DeleteEntry(); }},
    {IDC_COMMAND4, [](Editor& e) { e.SaveAndLeave(); }},
    {IDC_COMMAND5, [](Editor& e) { e.LeaveWithoutSaving(); }},
    {IDC_COMMAND6, [](Editor& e) { e.AppendEntry(); }},
    {IDC_COMMAND7, [](Editor& e) { e.ClearStamp(); }},
    {IDC_COMMAND8, [](Editor& e) { e.RunNow(); }},
    // The window stays whether the save worked or not; a failure has warned.
    {IDM_SAVE, [](Editor& e) { static_cast<void>(e.SaveList()); }},
    {IDM_CAN, [](Editor& e) { e.LeaveWithoutSaving(); }},
    {IDM_RECORD, [](Editor& e) { e.ShowRunRecord(); }},
    {IDM_SETTINGS, [](Editor& e) { e.ShowSettings(); }},
    {IDM_TEAM, [](Editor& e) { e.ShowTeamList(); }},
    {IDM_LOGON, [](Editor& e) { e.ToggleLogOnStart(); }},
    {IDM_RESUME, [](Editor& e) { e.ToggleResumeStart(); }},
    {IDM_END, [](Editor& e) { e.Leave(); }},
    {IDM_HELP, [](Editor& e) { e.ShowHelp(); }},
    {IDM_ABOUT, [](Editor& e) { e.ShowAbout(); }},
    {IDM_ENTRY_OPEN, [](Editor& e) { e.RunSelectedEntry(); }},
    {IDM_ENTRY_UP, [](Editor& e) { e.MoveSelectedEntry(Direction::kUp); }},
    {IDM_ENTRY_DOWN, [](Editor& e) { e.MoveSelectedEntry(Direction::kDown); }},
    {IDM_ENTRY_DELETE, [](Editor& e) { e.DeleteEntry(); }},
    {IDM_ENTRY_COPY, [](Editor& e) { e.CopySelectedEntryToEditBox(); }},
    {IDM_ENTRY_DAYS, [](Editor& e) { e.EditSelectedEntryDays(); }},
    {IDM_ENTRY_REPLACE, [](Editor& e) { e.ReplaceSelectedEntry(); }},
};

}  // namespace

MainWindow::MainWindow(HINSTANCE instance)
    : instance_(instance),
      logOnStart_(ProgramFolder() + kLauncherFileName),
      resumeStart_(ProgramFolder() + kLauncherFileName),
      editor_(*this, system_, open_, logOnStart_, resumeStart_, ProgramFolder(), clock_, network_, policy_) {}

MainWindow::~MainWindow() {
  // Only when the program leaves some other way than EndProgram: the window
  // must not outlive the object its procedure points to.
  if (hwnd_ != nullptr) {
    ending_ = true;
    ::DestroyWindow(hwnd_);
  }
}

bool MainWindow::Create() {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.style = CS_DBLCLKS;
  windowClass.lpfnWndProc = &MainWindow::WindowProc;
  windowClass.hInstance = instance_;
  windowClass.hIcon = ::LoadIconW(instance_, MAKEINTRESOURCEW(IDI_OMBREL));
  windowClass.hIconSm = static_cast<HICON>(::LoadImageW(instance_, MAKEINTRESOURCEW(IDI_OMBREL), IMAGE_ICON,
                                                        ::GetSystemMetrics(SM_CXSMICON),
                                                        ::GetSystemMetrics(SM_CYSMICON), LR_SHARED));
  windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = kClassName;
  if (::RegisterClassExW(&windowClass) == 0) return false;

  win::ScopedMenu menu(::LoadMenuW(instance_, MAKEINTRESOURCEW(IDR_MENU_BAR)));
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

LRESULT CALLBACK MainWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    self->hwnd_ = window;
    ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<MainWindow*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
  if (self == nullptr) return ::DefWindowProcW(window, message, wParam, lParam);
  // An exception must not unwind through the window system's frames. The only
  // one a handler can meet is running out of memory; the command it was
  // doing is dropped and the window, with the list, lives on.
  try {
    return self->HandleMessage(message, wParam, lParam);
  } catch (const std::exception&) {
    return 0;
  }
}

LRESULT MainWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      return OnCreate() ? 0 : -1;
    case WM_COMMAND:
      OnCommand(LOWORD(wParam), HIWORD(wParam));
      return 0;
    case WM_CLOSE:
      OnClose();
      return 0;
    case WM_QUERYENDSESSION:
      return OnQueryEndSession() ? TRUE : FALSE;
    case WM_ENDSESSION:
      OnEndSession(wParam != FALSE);
      return 0;
    case kStartHealthMessage: {
      const std::unique_ptr<StartHealth> health(reinterpret_cast<StartHealth*>(lParam));
      if (!ending_) editor_.ShowStartHealth(*health);
      return 0;
    }
    case kShowRecordMessage:
      // With a dialog or box of its own open, the second start has brought
      // that to the front: it is what the user must answer first.
      if (!ending_ && ::IsWindowEnabled(hwnd_)) editor_.ShowRunRecord();
      return 0;
    case WM_CONTEXTMENU:
      if (reinterpret_cast<HWND>(wParam) != list_.control()) break;
      if (!ending_) ShowEntryMenu(editor_, list_, instance_, hwnd_, lParam);
      return 0;
    case WM_INITMENUPOPUP:
      OnInitMenuPopup(reinterpret_cast<HMENU>(wParam));
      return 0;
    case WM_ENTERMENULOOP:
      inMenu_ = true;
      return 0;
    case WM_EXITMENULOOP:
      inMenu_ = false;
      if (const std::optional<bool> shown = std::exchange(startWarningAfterMenu_, std::nullopt)) {
        ShowStartWarning(*shown);
      }
      return 0;
    case WM_MEASUREITEM:
      // Asked once, as the list is made, before it has its font: the height
      // comes with the font (ApplyDpi).
      if (wParam != IDC_LIST1) break;
      reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)->itemHeight = list_.FontHeight(uiFont_.get());
      return TRUE;
    case WM_DRAWITEM: {
      const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      if (wParam != IDC_LIST1) break;
      list_.Draw(item,
                 ending_ ? std::wstring() : editor_.DaysLabel(static_cast<std::ptrdiff_t>(item.itemID)));
      return TRUE;
    }
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

bool MainWindow::OnCreate() {
  if (!CreateControls()) return false;
  fileDrop_.emplace(hwnd_, Control(IDC_LIST1), Control(IDC_TEXT1), editor_);
  RECT where{};
  ::GetWindowRect(hwnd_, &where);
  ApplyDpi(WindowDpi(hwnd_), {where.left, where.top});
  return true;
}

bool MainWindow::CreateControls() {
  // Created in tab-index order: the order of the window's children is the
  // order in which Tab visits them.
  std::array<ControlLayout, std::size(kWindowControls)> byTabIndex{};
  std::copy(std::begin(kWindowControls), std::end(kWindowControls), byTabIndex.begin());
  std::ranges::sort(byTabIndex, {}, &ControlLayout::tabIndex);
  for (const ControlLayout& layout : byTabIndex) {
    const std::wstring caption = layout.captionId != 0 ? LoadText(layout.captionId) : std::wstring();
    const HWND control = CreateControl(hwnd_, instance_, layout, caption);
    if (control == nullptr) return false;
    controls_[static_cast<std::size_t>(layout.id - IDC_FRAME1)] = control;
  }
  list_.Attach(Control(IDC_LIST1));
  // Shown once Windows has said that nothing would start Ombrel.
  ::ShowWindow(Control(IDC_LABEL3), SW_HIDE);
  // Text1 has no maximum length of its own.
  ::SendMessageW(Control(IDC_TEXT1), EM_SETLIMITTEXT, 0, 0);
  lastFocus_ = Control(IDC_LIST1);
  return true;
}

void MainWindow::ApplyDpi(UINT dpi, POINT topLeft) {
  dpi_ = dpi;
  const int scale = static_cast<int>(dpi);

  LOGFONTW ui = MessageFont(dpi);
  uiFont_.reset(::CreateFontIndirectW(&ui));
  LOGFONTW dateClear{};
  dateClear.lfHeight = -::MulDiv(static_cast<int>(kDateClearFontPoints * 10), scale, 720);
  dateClear.lfWeight = FW_NORMAL;
  dateClear.lfCharSet = SHIFTJIS_CHARSET;
  const std::wstring face = LoadText(IDS_DATE_CLEAR_FONT);
  face.copy(dateClear.lfFaceName, LF_FACESIZE - 1);
  dateClearFont_.reset(::CreateFontIndirectW(&dateClear));

  const SIZE client{TwipsToPixels(kClientWidthTwips, scale), TwipsToPixels(kClientHeightTwips, scale)};
  const SIZE outer = OuterSizeForClient(client, kStyle, kExStyle, true, dpi);
  ::SetWindowPos(hwnd_, nullptr, topLeft.x, topLeft.y, outer.cx, outer.cy, SWP_NOZORDER | SWP_NOACTIVATE);
  // A menu bar that wraps onto a second line takes its height from the
  // client area: grow the window by what is missing.
  RECT actual{};
  ::GetClientRect(hwnd_, &actual);
  if (actual.right != client.cx || actual.bottom != client.cy) {
    ::SetWindowPos(hwnd_, nullptr, 0, 0, outer.cx + client.cx - actual.right,
                   outer.cy + client.cy - actual.bottom, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }

  for (const ControlLayout& layout : kWindowControls) {
    const HWND control = Control(layout.id);
    const bool small = layout.id == IDC_COMMAND7 || layout.id == IDC_LABEL3;
    const HFONT font = small ? dateClearFont_.get() : uiFont_.get();
    ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    ::MoveWindow(control, TwipsToPixels(layout.left, scale), TwipsToPixels(layout.top, scale),
                 TwipsToPixels(layout.width, scale), TwipsToPixels(layout.height, scale), TRUE);
  }
  // A list the window draws takes no height from its font by itself.
  list_.SetItemHeight(list_.FontHeight(uiFont_.get()));
}

void MainWindow::StretchFrame() {
  const HWND frame = Control(IDC_FRAME1);
  RECT rect{};
  ::GetWindowRect(frame, &rect);
  ::SetWindowPos(frame, nullptr, 0, 0, OuterSize().cx, rect.bottom - rect.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

SIZE MainWindow::OuterSize() const {
  RECT rect{};
  ::GetWindowRect(hwnd_, &rect);
  return {rect.right - rect.left, rect.bottom - rect.top};
}

HWND MainWindow::Control(int id) const {
  const auto index = static_cast<std::size_t>(id - IDC_FRAME1);
  return id >= IDC_FRAME1 && index < controls_.size() ? controls_[index] : nullptr;
}

bool MainWindow::Show(int showCommand, bool showRecord) {
  if (!Load()) {
    EndProgram();
    return false;
  }
  ::ShowWindow(hwnd_, showCommand);
  ::UpdateWindow(hwnd_);
  // Also when the window was shown without being activated.
  ::SetFocus(Control(IDC_LIST1));
  AskStartHealth();
  editor_.TellOfRecoveredList();
  if (showRecord) {
    editor_.ShowRunRecordAsked();
  } else {
    editor_.ShowUnseenLauncherFailure();
  }
  return true;
}

namespace {

// What the asking thread needs: the window's handle alone of it, so that a
// window gone by the answer only loses the answer.
struct HealthQuestion {
  HWND window;
  std::wstring launcher;
};

DWORD WINAPI AskStartHealthThread(void* parameter) {
  const std::unique_ptr<HealthQuestion> question(static_cast<HealthQuestion*>(parameter));
  try {
    const win::ComApartment com(win::ComApartment::Kind::kCom);
    StartupShortcut logOn(question->launcher);
    ScheduledTask resume(question->launcher);
    auto health = std::make_unique<StartHealth>(Editor::AskStartHealth(logOn, resume));
    if (::PostMessageW(question->window, kStartHealthMessage, 0, reinterpret_cast<LPARAM>(health.get()))) {
      static_cast<void>(health.release());
    }
  } catch (const std::exception&) {
    // No answer: the line under the list waits for the menu's asking.
  }
  return 0;
}

}  // namespace

void MainWindow::AskStartHealth() {
  auto question =
      std::make_unique<HealthQuestion>(HealthQuestion{hwnd_, ProgramFolder() + kLauncherFileName});
  const win::ScopedHandle asking(
      ::CreateThread(nullptr, 0, &AskStartHealthThread, question.get(), 0, nullptr));
  if (asking) static_cast<void>(question.release());
}

void MainWindow::ShowStartWarning(bool shown) {
  if (inMenu_) {
    startWarningAfterMenu_ = shown;
    return;
  }
  const HWND label = Control(IDC_LABEL3);
  if (label != nullptr && (::IsWindowVisible(label) != FALSE) != shown) {
    ::ShowWindow(label, shown ? SW_SHOWNA : SW_HIDE);
  }
}

bool MainWindow::Load() {
  const int dpi = static_cast<int>(dpi_);
  const SIZE outer = OuterSize();
  const PlacementTwips place = CentredPlacement(PixelsToTwips(::GetSystemMetrics(SM_CXSCREEN), dpi),
                                                PixelsToTwips(::GetSystemMetrics(SM_CYSCREEN), dpi),
                                                PixelsToTwips(outer.cx, dpi), PixelsToTwips(outer.cy, dpi));
  ::SetWindowPos(hwnd_, nullptr, TwipsToPixels(place.left, dpi), TwipsToPixels(place.top, dpi), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);

  ::SetWindowTextW(hwnd_, editor_.WindowTitle(system_.Now()).c_str());
  StretchFrame();

  return editor_.LoadList();
}

bool MainWindow::PreTranslateMessage(MSG& message) {
  if (hwnd_ == nullptr) return false;
  return (!ending_ && HandleMoveKey(editor_, list_, message)) || ::IsDialogMessageW(hwnd_, &message);
}

void MainWindow::OnCommand(int id, int code) {
  if (ending_) return;
  if (id == IDC_LIST1) {
    // The user's own selection (a click, the keys) reaches the editor here;
    // a double click follows the selection change of its first click.
    if (code == LBN_SELCHANGE) editor_.SelectEntry(list_.Selection());
    if (code == LBN_DBLCLK) editor_.CopySelectedEntryToEditBox();
    return;
  }
  // A button's click and a menu item both come with code 0; Text1's
  // notifications (typing) and the list's others have no handler.
  if (code != BN_CLICKED) return;
  const auto wiring = std::ranges::find(kWiring, id, &Wiring::id);
  if (wiring != std::end(kWiring)) wiring->command(editor_);
}

void MainWindow::OnClose() {
  // Closing is the leave command's to decide; the window is destroyed only
  // through EndProgram, never by DefWindowProc.
  if (!ending_) editor_.Leave();
}

bool MainWindow::OnQueryEndSession() {
  // Log-off or shut-down: the same question as leaving, and a reason Windows
  // can show while it waits for the answer.
  if (ending_ || !editor_.modified()) return true;
  ::ShutdownBlockReasonCreate(hwnd_, LoadText(IDS_UNSAVED_CHANGES).c_str());
  // A save that failed has warned; the session must not end and lose the
  // list.
  return editor_.SettleChanges();
}

void MainWindow::OnEndSession(bool sessionEnds) {
  ::ShutdownBlockReasonDestroy(hwnd_);
  if (sessionEnds) EndProgram();
}

void MainWindow::OnInitMenuPopup(HMENU menu) {
  // Asked each time the menu opens: the installer, Explorer, Task Manager or
  // the Task Scheduler may have changed either meanwhile.
  if (::GetMenuState(menu, IDM_LOGON, MF_BYCOMMAND) == static_cast<UINT>(-1)) return;
  ::CheckMenuItem(menu, IDM_LOGON, MF_BYCOMMAND | (editor_.LogOnStartIsOn() ? MF_CHECKED : MF_UNCHECKED));
  ::CheckMenuItem(menu, IDM_RESUME, MF_BYCOMMAND | (editor_.ResumeStartIsOn() ? MF_CHECKED : MF_UNCHECKED));
}

void MainWindow::OnActivate(WPARAM wParam) {
  if (LOWORD(wParam) != WA_INACTIVE) return;
  const HWND focus = ::GetFocus();
  if (focus != nullptr && ::IsChild(hwnd_, focus)) lastFocus_ = focus;
}

void MainWindow::OnSetFocus() {
  if (lastFocus_ != nullptr && ::IsWindow(lastFocus_)) ::SetFocus(lastFocus_);
}

void MainWindow::OnDpiChanged(UINT dpi, const RECT& suggested) {
  // Moved to a screen of another DPI: the same layout, at that screen's scale.
  ApplyDpi(dpi, {suggested.left, suggested.top});
  StretchFrame();
  ::InvalidateRect(hwnd_, nullptr, TRUE);
}

void MainWindow::OnDestroy() {
  fileDrop_.reset();
  ::PostQuitMessage(0);
}

void MainWindow::OnNcDestroy() {
  ::SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
  hwnd_ = nullptr;
  controls_ = {};
  list_.Attach(nullptr);
  lastFocus_ = nullptr;
}

std::wstring MainWindow::EditText() { return WindowText(Control(IDC_TEXT1)); }

Answer MainWindow::ShowMessage(MessageKind kind, const std::wstring& text) {
  // Before the window is shown (a list that cannot be read) the box stands
  // on its own, with a button on the taskbar; over the record window it
  // belongs to that.
  const HWND owner = hwnd_ != nullptr && ::IsWindowVisible(hwnd_) ? ::GetLastActivePopup(hwnd_) : nullptr;
  return ShowMessageBox(owner, kind, text, LoadText(IDS_PROGRAM_TITLE));
}

WindowHandle MainWindow::Handle() { return reinterpret_cast<WindowHandle>(hwnd_); }

void MainWindow::EndProgram() {
  ending_ = true;
  // WM_DESTROY ends the message loop; with the window gone no handler can
  // run again.
  if (hwnd_ != nullptr) ::DestroyWindow(hwnd_);
}

}  // namespace ombrel::editor
