// Drives a real program of ours under Wine the way a user would, from a test
// program in the same Wine prefix: it starts the program, finds its windows
// and controls, reads what they show, clicks, types on the real keyboard of
// the virtual display and answers message boxes. Every wait is bounded, so a
// program that hangs fails the test instead of stopping the run.
//
//   gui::App app(folder / L"OmbrelSet.exe", L"OmbrelSetForm1");
//   app.Click(IDC_COMMAND6);
//   gui::MessageBoxWindow box = app.WaitForMessageBox();
//   EXPECT_EQ(box.Icon(), gui::Icon::kExclamation);
//   box.Answer(IDYES);
//   EXPECT_EQ(app.WaitForExit(), 0U);
#pragma once

#include <windows.h>

#include <chrono>
#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "common/win/scoped.h"

namespace ombrel::testing::gui {

// How long any one wait lasts at most.
inline constexpr std::chrono::milliseconds kTimeout{15000};

// A rectangle in pixels: on the screen, or in the client area of a parent.
struct Rect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  bool operator==(const Rect&) const = default;
};
void PrintTo(const Rect& rect, std::ostream* out);

// The icon of a message box.
enum class Icon { kNone, kHand, kQuestion, kExclamation, kInformation };
void PrintTo(Icon icon, std::ostream* out);

// A window of the program under test, read through messages that are bounded
// in time. A window that is gone reads as empty.
class Window {
 public:
  Window() = default;
  explicit Window(HWND hwnd) : hwnd_(hwnd) {}

  [[nodiscard]] HWND hwnd() const { return hwnd_; }
  [[nodiscard]] bool Exists() const;
  explicit operator bool() const { return Exists(); }

  [[nodiscard]] std::wstring Text() const;
  [[nodiscard]] std::wstring ClassName() const;
  [[nodiscard]] int Id() const;
  [[nodiscard]] LONG_PTR Style() const;
  [[nodiscard]] bool Visible() const;
  [[nodiscard]] Rect ScreenRect() const;
  [[nodiscard]] Rect ClientRect() const;
  // Where the window lies in the client area of its parent.
  [[nodiscard]] Rect RectInParent() const;

  // The child with this control ID, or an empty Window.
  [[nodiscard]] Window Child(int id) const;
  // The direct children, in the order the window holds them.
  [[nodiscard]] std::vector<Window> Children() const;

  // A message that must not block the test: bounded, and 0 when the window
  // did not answer in time.
  LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
  // A message whose handler may open a modal window: the test goes on at once.
  void Post(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;

 protected:
  HWND hwnd_ = nullptr;
};

// A standard message box (#32770) shown by the program.
class MessageBoxWindow : public Window {
 public:
  MessageBoxWindow() = default;
  explicit MessageBoxWindow(HWND hwnd) : Window(hwnd) {}

  [[nodiscard]] std::wstring Caption() const { return Text(); }
  [[nodiscard]] std::wstring Message() const;
  // Which standard icon it shows, judged from the pixels on the screen.
  [[nodiscard]] gui::Icon Icon() const;
  // The IDs of its buttons (IDOK, IDYES, IDNO ...), left to right.
  [[nodiscard]] std::vector<int> Buttons() const;
  // The button drawn as the default one (BS_DEFPUSHBUTTON); 0 for none.
  [[nodiscard]] int DefaultButton() const;
  // Presses one of its buttons.
  void Answer(int buttonId) const;
};

// A report-style list view of the program. Its items live in the program's
// memory, so they are read through a buffer made there.
class ReportList : public Window {
 public:
  ReportList() = default;
  explicit ReportList(HWND hwnd) : Window(hwnd) {}

  struct Row {
    std::vector<std::wstring> columns;
    int image = -1;  // the image of the first column; -1 or less: none
  };
  // Every row, with the texts of its first `columns` columns.
  [[nodiscard]] std::vector<Row> Rows(int columns) const;
  // The selected row; -1 for none.
  [[nodiscard]] int Selection() const;
};

// Keys on the real keyboard of the virtual display, in xdotool's syntax
// ("alt+f s", "Tab"), typed with the pointer over `target`: without a window
// manager, keys go to the window under the pointer. False when xdotool failed.
bool PressKeys(const Window& target, const std::string& keys);

// Real clicks of a mouse button (1 the left, 3 the right; 2 clicks: a
// double-click) at a point of the screen.
bool ClickAt(int x, int y, int clicks = 1, int button = 1);

// Drags files from this test program onto `target` and drops them in its
// middle, as Explorer does on Windows: OLE's DoDragDrop with the shell's own
// data object for the files, which lie in one folder, the pointer over the
// target. Wine hands the drag to the drop target the program registered, in
// its own process. True when the program took the drop.
bool DropFiles(const Window& target, const std::vector<std::wstring>& paths);

// The pixels of a part of the screen, 0x00RRGGBB, row by row.
std::vector<std::uint32_t> CaptureScreen(const Rect& screenRect);
// The same once drawn: two looks in a row agree and show more than one
// colour. A window, menu or box paints after it shows, later when loaded.
std::vector<std::uint32_t> CaptureWhenDrawn(const Rect& screenRect);

// Saves a part of the screen as a PNG file (through ImageMagick's convert).
bool SaveScreenshot(const Rect& screenRect, const std::wstring& pngPath);

// A program started for one test and ended with it.
class App {
 public:
  // Starts the program and waits until its visible top-level window of
  // `windowClass` is there.
  App(const std::wstring& programPath, std::wstring windowClass,
      std::chrono::milliseconds timeout = kTimeout);
  // Ends the program if the test left it running, so that no later test (and
  // no wineserver -w) waits for it.
  ~App();
  App(const App&) = delete;
  App& operator=(const App&) = delete;

  // True when the program started and showed its window.
  [[nodiscard]] bool Started() const { return main_.hwnd() != nullptr; }
  [[nodiscard]] const Window& Main() const { return main_; }
  [[nodiscard]] Window Control(int id) const { return main_.Child(id); }

  // A list box's items and selected index (-1 for none).
  [[nodiscard]] std::vector<std::wstring> ListItems(int listId) const;
  [[nodiscard]] int ListSelection(int listId) const;
  // Selects an item and tells the window so, as the list box does when the
  // user clicks an item or moves with the keys.
  void SelectListItem(int listId, int index) const;
  // Double-clicks an item with the real mouse.
  bool DoubleClickListItem(int listId, int index) const { return ClickListItem(listId, index, 2, 1); }
  // Right-clicks an item with the real mouse.
  bool RightClickListItem(int listId, int index) const { return ClickListItem(listId, index, 1, 3); }

  // An edit box's text, set as if typed.
  void SetText(int controlId, const std::wstring& text) const;

  // The window that has the keyboard focus in the program's thread.
  [[nodiscard]] Window Focus() const;
  [[nodiscard]] int FocusId() const { return Focus().Id(); }

  // Clicks a button; returns at once, so a message box it opens can be read.
  void Click(int buttonId) const;
  // Chooses a menu item through its access keys, as "alt+f s".
  bool Menu(const std::string& keys) const { return PressKeys(main_, keys); }
  // The title bar's close box (the window's system command Close).
  void CloseBox() const;

  // A message box of the program, once one is shown; empty when none came.
  [[nodiscard]] MessageBoxWindow WaitForMessageBox(std::chrono::milliseconds timeout = kTimeout) const;
  // A message box shown right now, or an empty one.
  [[nodiscard]] MessageBoxWindow CurrentMessageBox() const;
  // A standard dialog of the program (#32770) with this caption, such as
  // the open-file dialog, once it is shown; empty when none came.
  [[nodiscard]] Window WaitForDialog(const std::wstring& caption,
                                     std::chrono::milliseconds timeout = kTimeout) const;
  // A menu of the program dropped down (#32768), once it is shown.
  [[nodiscard]] Window WaitForMenu(std::chrono::milliseconds timeout = kTimeout) const;

  [[nodiscard]] bool Running() const;
  // Ends the program at once, as a crash or a power cut would, and waits
  // until it is gone.
  void Kill() const;
  // The exit status, or nothing when the program still runs after `timeout`.
  std::optional<DWORD> WaitForExit(std::chrono::milliseconds timeout = kTimeout) const;

 private:
  bool ClickListItem(int listId, int index, int clicks, int button) const;
  // A visible top-level window of the program; any caption when none given.
  [[nodiscard]] HWND FindTopLevel(const std::wstring& windowClass,
                                  const std::optional<std::wstring>& caption = std::nullopt) const;

  std::wstring windowClass_;
  win::ScopedHandle process_;
  DWORD processId_ = 0;
  DWORD threadId_ = 0;
  Window main_;
};

}  // namespace ombrel::testing::gui
