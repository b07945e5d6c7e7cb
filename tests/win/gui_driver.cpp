#include "gui_driver.h"

#include <commctrl.h>
#include <ole2.h>
#include <shlobj.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cwchar>
#include <functional>

#include "test_support.h"

namespace ombrel::testing::gui {

namespace {

// One message to a window that is alive answers within this; a hung one does
// not stop the test.
constexpr UINT kSendTimeoutMs = 5000;
// The ID a message box gives its text.
constexpr int kMessageBoxTextId = 0xFFFF;
// Characters of room beyond an item's length when it is read from a list box.
constexpr std::size_t kItemSlack = 1024;

Rect FromRECT(const RECT& rect) {
  return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

std::string Quoted(const std::string& text) { return "'" + text + "'"; }

struct FindWindowQuery {
  DWORD processId;
  const std::wstring& className;
  const std::optional<std::wstring>& caption;
  HWND found = nullptr;
};

BOOL CALLBACK FindVisibleOfProcess(HWND window, LPARAM parameter) {
  auto* query = reinterpret_cast<FindWindowQuery*>(parameter);
  DWORD processId = 0;
  ::GetWindowThreadProcessId(window, &processId);
  if (processId != query->processId || !::IsWindowVisible(window)) return TRUE;
  if (Window(window).ClassName() != query->className) return TRUE;
  if (query->caption && Window(window).Text() != *query->caption) return TRUE;
  // A dialog asked for without a caption is a message box: one with the
  // box's text, never a window of the program's own made as a dialog.
  if (!query->caption && query->className == L"#32770" &&
      ::GetDlgItem(window, kMessageBoxTextId) == nullptr) {
    return TRUE;
  }
  query->found = window;
  return FALSE;
}

// A 32-bit top-down bitmap, selected into a memory DC while it lives.
class Canvas {
 public:
  Canvas(int width, int height) : width_(width), height_(height) {
    const win::ScopedWindowDC screen(nullptr);
    dc_.reset(::CreateCompatibleDC(screen.get()));
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    bitmap_.reset(::CreateDIBSection(dc_.get(), &info, DIB_RGB_COLORS, &bits_, nullptr, 0));
    if (bitmap_) selected_.emplace(dc_.get(), bitmap_.get());
  }

  [[nodiscard]] HDC dc() const { return dc_.get(); }
  [[nodiscard]] bool valid() const { return bits_ != nullptr; }
  [[nodiscard]] std::vector<std::uint32_t> Pixels() const {
    ::GdiFlush();
    const auto* first = static_cast<const std::uint32_t*>(bits_);
    std::vector<std::uint32_t> pixels(first, first + static_cast<std::size_t>(width_) * height_);
    for (std::uint32_t& pixel : pixels) pixel &= 0x00FFFFFFU;
    return pixels;
  }

 private:
  int width_;
  int height_;
  win::ScopedMemoryDC dc_;
  win::ScopedBitmap bitmap_;
  void* bits_ = nullptr;
  // Last member: the bitmap leaves the DC before either is deleted.
  std::optional<win::ScopedSelect> selected_;
};

long long Distance(const std::vector<std::uint32_t>& a, const std::vector<std::uint32_t>& b) {
  long long sum = 0;
  for (std::size_t i = 0; i < a.size() && i < b.size(); ++i) {
    for (int shift = 0; shift < 24; shift += 8) {
      sum += std::abs(static_cast<int>((a[i] >> shift) & 0xFFU) - static_cast<int>((b[i] >> shift) & 0xFFU));
    }
  }
  return sum;
}

}  // namespace

void PrintTo(const Rect& rect, std::ostream* out) {
  *out << "{left " << rect.left << ", top " << rect.top << ", width " << rect.width << ", height "
       << rect.height << "}";
}

void PrintTo(Icon icon, std::ostream* out) {
  constexpr std::array<const char*, 5> kNames = {"none", "hand", "question", "exclamation", "information"};
  *out << kNames.at(static_cast<std::size_t>(icon));
}

bool Window::Exists() const { return hwnd_ != nullptr && ::IsWindow(hwnd_); }

std::wstring Window::Text() const {
  const auto length = static_cast<std::size_t>(Send(WM_GETTEXTLENGTH));
  std::wstring text(length + 1, L'\0');
  const auto copied =
      static_cast<std::size_t>(Send(WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data())));
  text.resize(std::min(copied, length));
  return text;
}

std::wstring Window::ClassName() const {
  wchar_t name[256] = {};
  const int length = ::GetClassNameW(hwnd_, name, 256);
  return std::wstring(name, static_cast<std::size_t>(std::max(length, 0)));
}

int Window::Id() const { return hwnd_ != nullptr ? ::GetDlgCtrlID(hwnd_) : 0; }

LONG_PTR Window::Style() const { return ::GetWindowLongPtrW(hwnd_, GWL_STYLE); }

bool Window::Visible() const { return ::IsWindowVisible(hwnd_) != FALSE; }

Rect Window::ScreenRect() const {
  RECT rect{};
  ::GetWindowRect(hwnd_, &rect);
  return FromRECT(rect);
}

Rect Window::ClientRect() const {
  RECT rect{};
  ::GetClientRect(hwnd_, &rect);
  return FromRECT(rect);
}

Rect Window::RectInParent() const {
  RECT rect{};
  ::GetWindowRect(hwnd_, &rect);
  ::MapWindowPoints(HWND_DESKTOP, ::GetParent(hwnd_), reinterpret_cast<POINT*>(&rect), 2);
  return FromRECT(rect);
}

Window Window::Child(int id) const { return Window(::GetDlgItem(hwnd_, id)); }

std::vector<Window> Window::Children() const {
  std::vector<Window> children;
  for (HWND child = ::GetWindow(hwnd_, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
    children.emplace_back(child);
  }
  return children;
}

LRESULT Window::Send(UINT message, WPARAM wParam, LPARAM lParam) const {
  DWORD_PTR result = 0;
  if (!::SendMessageTimeoutW(hwnd_, message, wParam, lParam, SMTO_ABORTIFHUNG | SMTO_BLOCK, kSendTimeoutMs,
                             &result)) {
    return 0;
  }
  return static_cast<LRESULT>(result);
}

void Window::Post(UINT message, WPARAM wParam, LPARAM lParam) const {
  ::PostMessageW(hwnd_, message, wParam, lParam);
}

std::vector<ReportList::Row> ReportList::Rows(int columns) const {
  constexpr std::size_t kTextRoom = 4096;
  DWORD processId = 0;
  ::GetWindowThreadProcessId(hwnd_, &processId);
  const win::ScopedHandle process(
      ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId));
  if (!process) return {};
  const std::size_t size = sizeof(LVITEMW) + kTextRoom * sizeof(wchar_t);
  auto* remote =
      static_cast<char*>(::VirtualAllocEx(process.get(), nullptr, size, MEM_COMMIT, PAGE_READWRITE));
  if (remote == nullptr) return {};
  std::vector<Row> rows;
  const auto count = static_cast<int>(Send(LVM_GETITEMCOUNT));
  for (int i = 0; i < count; ++i) {
    Row row;
    for (int column = 0; column < columns; ++column) {
      LVITEMW item{};
      item.mask = LVIF_TEXT | (column == 0 ? LVIF_IMAGE : 0U);
      item.iItem = i;
      item.iSubItem = column;
      item.pszText = reinterpret_cast<LPWSTR>(remote + sizeof(LVITEMW));
      item.cchTextMax = static_cast<int>(kTextRoom);
      std::wstring text(kTextRoom, L'\0');
      if (!::WriteProcessMemory(process.get(), remote, &item, sizeof item, nullptr) ||
          Send(LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(remote)) == 0 ||
          !::ReadProcessMemory(process.get(), remote, &item, sizeof item, nullptr) ||
          !::ReadProcessMemory(process.get(), remote + sizeof(LVITEMW), text.data(),
                               kTextRoom * sizeof(wchar_t), nullptr)) {
        text.clear();
      }
      text.resize(std::wcslen(text.c_str()));
      row.columns.push_back(text);
      if (column == 0) row.image = item.iImage;
    }
    rows.push_back(std::move(row));
  }
  ::VirtualFreeEx(process.get(), remote, 0, MEM_RELEASE);
  return rows;
}

int ReportList::Selection() const {
  return static_cast<int>(Send(LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

std::wstring MessageBoxWindow::Message() const { return Child(kMessageBoxTextId).Text(); }

Icon MessageBoxWindow::Icon() const {
  Window iconControl;
  for (const Window& child : Children()) {
    if (child.ClassName() == L"Static" && (child.Style() & SS_TYPEMASK) == SS_ICON) iconControl = child;
  }
  if (!iconControl.Exists() || !iconControl.Visible()) return Icon::kNone;
  const Rect where = iconControl.ScreenRect();
  if (where.width <= 0 || where.height <= 0) return Icon::kNone;
  const std::vector<std::uint32_t> shown = CaptureWhenDrawn(where);
  if (shown.empty()) return Icon::kNone;
  const std::uint32_t background = shown.front();
  if (std::all_of(shown.begin(), shown.end(), [&](std::uint32_t pixel) { return pixel == background; })) {
    return Icon::kNone;
  }
  // Icon handles cannot be compared across processes: draw each standard
  // icon here on the same background and take the one that looks the same.
  const std::array<std::pair<gui::Icon, const wchar_t*>, 4> kCandidates = {{
      {Icon::kHand, IDI_HAND},
      {Icon::kQuestion, IDI_QUESTION},
      {Icon::kExclamation, IDI_EXCLAMATION},
      {Icon::kInformation, IDI_ASTERISK},
  }};
  gui::Icon best = Icon::kNone;
  long long bestDistance = -1;
  for (const auto& [candidate, resource] : kCandidates) {
    Canvas canvas(where.width, where.height);
    if (!canvas.valid()) return Icon::kNone;
    const win::ScopedBrush brush(
        ::CreateSolidBrush(RGB((background >> 16) & 0xFFU, (background >> 8) & 0xFFU, background & 0xFFU)));
    const RECT all{0, 0, where.width, where.height};
    ::FillRect(canvas.dc(), &all, brush.get());
    ::DrawIconEx(canvas.dc(), 0, 0, ::LoadIconW(nullptr, resource), where.width, where.height, 0, nullptr,
                 DI_NORMAL);
    const long long distance = Distance(shown, canvas.Pixels());
    if (bestDistance < 0 || distance < bestDistance) {
      bestDistance = distance;
      best = candidate;
    }
  }
  return best;
}

std::vector<int> MessageBoxWindow::Buttons() const {
  std::vector<std::pair<int, int>> byLeft;
  for (const Window& child : Children()) {
    if (child.ClassName() == L"Button" && child.Visible())
      byLeft.emplace_back(child.ScreenRect().left, child.Id());
  }
  std::sort(byLeft.begin(), byLeft.end());
  std::vector<int> ids;
  ids.reserve(byLeft.size());
  for (const auto& [left, id] : byLeft) ids.push_back(id);
  return ids;
}

int MessageBoxWindow::DefaultButton() const {
  for (const Window& child : Children()) {
    if (child.ClassName() == L"Button" && (child.Style() & BS_TYPEMASK) == BS_DEFPUSHBUTTON)
      return child.Id();
  }
  return 0;
}

void MessageBoxWindow::Answer(int buttonId) const { Child(buttonId).Post(BM_CLICK); }

bool PressKeys(const Window& target, const std::string& keys) {
  const Rect where = target.ScreenRect();
  // The title bar: under it lies no control the pointer could disturb.
  const int x = where.left + where.width / 2;
  const int y = where.top + std::max(2, std::min(8, where.height / 2));
  // No --sync: it waits forever when the pointer is already there. The X
  // server handles the move before the keys that follow it anyway.
  return RunHost("xdotool mousemove " + std::to_string(x) + " " + std::to_string(y) + " key --delay 60 " +
                 keys);
}

bool ClickAt(int x, int y, int clicks, int button) {
  return RunHost("xdotool mousemove " + std::to_string(x) + " " + std::to_string(y) + " click --repeat " +
                 std::to_string(clicks) + " --delay 80 " + std::to_string(button));
}

namespace {

// Goes on dragging for a few looks, then drops; no key or button is held.
class DroppingSource final : public IDropSource {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override {
    *object = id == IID_IUnknown || id == IID_IDropSource ? this : nullptr;
    return *object != nullptr ? S_OK : E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL, DWORD) override {
    return ++looks_ < 4 ? S_OK : DRAGDROP_S_DROP;
  }
  HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }

 private:
  int looks_ = 0;
};

// The shell's data object for files of one folder, as Explorer drags them.
win::ComPtr<IDataObject> ShellDataObject(const std::vector<std::wstring>& paths) {
  win::ComPtr<IDataObject> data;
  win::ComPtr<IShellFolder> desktop;
  if (paths.empty() || FAILED(::SHGetDesktopFolder(desktop.put()))) return data;
  std::wstring folderPath = paths.front().substr(0, paths.front().rfind(L'\\'));
  LPITEMIDLIST folderItem = nullptr;
  win::ComPtr<IShellFolder> folder;
  if (FAILED(desktop->ParseDisplayName(nullptr, nullptr, folderPath.data(), nullptr, &folderItem, nullptr)) ||
      FAILED(desktop->BindToObject(folderItem, nullptr, IID_PPV_ARGS(folder.put())))) {
    ::CoTaskMemFree(folderItem);
    return data;
  }
  ::CoTaskMemFree(folderItem);
  std::vector<LPITEMIDLIST> items;
  for (const std::wstring& path : paths) {
    std::wstring name = path.substr(path.rfind(L'\\') + 1);
    LPITEMIDLIST item = nullptr;
    if (SUCCEEDED(folder->ParseDisplayName(nullptr, nullptr, name.data(), nullptr, &item, nullptr))) {
      items.push_back(item);
    }
  }
  if (items.size() == paths.size()) {
    folder->GetUIObjectOf(nullptr, static_cast<UINT>(items.size()), const_cast<LPCITEMIDLIST*>(items.data()),
                          IID_IDataObject, nullptr, reinterpret_cast<void**>(data.put()));
  }
  for (LPITEMIDLIST item : items) ::CoTaskMemFree(item);
  return data;
}

}  // namespace

bool DropFiles(const Window& target, const std::vector<std::wstring>& paths) {
  // DoDragDrop needs OLE on this thread.
  if (FAILED(::OleInitialize(nullptr))) return false;
  bool dropped = false;
  if (const win::ComPtr<IDataObject> data = ShellDataObject(paths)) {
    const Rect where = target.ScreenRect();
    ::SetCursorPos(where.left + where.width / 2, where.top + where.height / 2);
    DroppingSource source;
    DWORD effect = DROPEFFECT_NONE;
    dropped =
        ::DoDragDrop(data.get(), &source, DROPEFFECT_COPY | DROPEFFECT_LINK, &effect) == DRAGDROP_S_DROP &&
        effect != DROPEFFECT_NONE;
  }
  ::OleUninitialize();
  return dropped;
}

std::vector<std::uint32_t> CaptureScreen(const Rect& screenRect) {
  Canvas canvas(screenRect.width, screenRect.height);
  if (!canvas.valid()) return {};
  const win::ScopedWindowDC screen(nullptr);
  if (!::BitBlt(canvas.dc(), 0, 0, screenRect.width, screenRect.height, screen.get(), screenRect.left,
                screenRect.top, SRCCOPY)) {
    return {};
  }
  return canvas.Pixels();
}

std::vector<std::uint32_t> CaptureWhenDrawn(const Rect& screenRect) {
  std::vector<std::uint32_t> last = CaptureScreen(screenRect);
  WaitUntil(
      [&] {
        std::vector<std::uint32_t> now = CaptureScreen(screenRect);
        const bool drawn = !now.empty() && now == last &&
                           std::adjacent_find(now.begin(), now.end(), std::not_equal_to<>()) != now.end();
        last = std::move(now);
        return drawn;
      },
      kTimeout, std::chrono::milliseconds(150));
  return last;
}

bool SaveScreenshot(const Rect& screenRect, const std::wstring& pngPath) {
  // Wine's own picture of the screen, not the X server's: X may still show
  // what Wine has not flushed to it yet (an inactive title bar, say).
  const std::vector<std::uint32_t> pixels = CaptureScreen(screenRect);
  if (pixels.empty()) return false;
  const int width = screenRect.width;
  const int height = screenRect.height;
  const int rowBytes = (width * 3 + 3) & ~3;
  BITMAPFILEHEADER file{};
  BITMAPINFOHEADER info{};
  file.bfType = 0x4D42;  // "BM"
  file.bfOffBits = sizeof file + sizeof info;
  file.bfSize = file.bfOffBits + static_cast<DWORD>(rowBytes * height);
  info.biSize = sizeof info;
  info.biWidth = width;
  info.biHeight = height;  // bottom-up, as every reader expects
  info.biPlanes = 1;
  info.biBitCount = 24;
  info.biCompression = BI_RGB;
  std::string bytes(reinterpret_cast<const char*>(&file), sizeof file);
  bytes.append(reinterpret_cast<const char*>(&info), sizeof info);
  for (int y = height - 1; y >= 0; --y) {
    std::string row(static_cast<std::size_t>(rowBytes), '\0');
    for (int x = 0; x < width; ++x) {
      const std::uint32_t pixel = pixels[static_cast<std::size_t>(y) * width + x];
      row[static_cast<std::size_t>(x) * 3] = static_cast<char>(pixel & 0xFFU);
      row[static_cast<std::size_t>(x) * 3 + 1] = static_cast<char>((pixel >> 8) & 0xFFU);
      row[static_cast<std::size_t>(x) * 3 + 2] = static_cast<char>((pixel >> 16) & 0xFFU);
    }
    bytes += row;
  }
  const std::size_t slash = pngPath.rfind(L'\\');
  const std::wstring folder = pngPath.substr(0, slash);
  ::CreateDirectoryW(folder.c_str(), nullptr);
  const TempFolder scratch;
  const std::wstring bitmap = scratch / L"screen.bmp";
  WriteBytes(bitmap, bytes);
  const std::string png = HostPath(folder) + "/" + ToUtf8(pngPath.substr(slash + 1));
  return RunHost("convert " + Quoted(HostPath(bitmap)) + " " + Quoted(png));
}

App::App(const std::wstring& programPath, std::wstring windowClass, std::chrono::milliseconds timeout)
    : windowClass_(std::move(windowClass)) {
  const std::wstring folder = programPath.substr(0, programPath.rfind(L'\\'));
  Process process = StartProcess(L"\"" + programPath + L"\"", 0, folder);
  if (!process) return;
  process_ = std::move(process.process);
  processId_ = process.processId;
  threadId_ = process.threadId;
  HWND found = nullptr;
  WaitUntil([&] { return (found = FindTopLevel(windowClass_)) != nullptr || !Running(); }, timeout);
  main_ = Window(found);
  // Shown is not yet ready: the program may still be setting its focus.
  if (found != nullptr) ::WaitForInputIdle(process_.get(), static_cast<DWORD>(timeout.count()));
}

App::~App() { Kill(); }

void App::Kill() const {
  if (!Running()) return;
  ::TerminateProcess(process_.get(), 99);
  ::WaitForSingleObject(process_.get(), static_cast<DWORD>(kTimeout.count()));
}

HWND App::FindTopLevel(const std::wstring& windowClass, const std::optional<std::wstring>& caption) const {
  FindWindowQuery query{processId_, windowClass, caption};
  ::EnumWindows(&FindVisibleOfProcess, reinterpret_cast<LPARAM>(&query));
  return query.found;
}

std::vector<std::wstring> App::ListItems(int listId) const {
  const Window list = Control(listId);
  const LRESULT count = list.Send(LB_GETCOUNT);
  std::vector<std::wstring> items;
  for (LRESULT i = 0; i < count; ++i) {
    const LRESULT length = list.Send(LB_GETTEXTLEN, static_cast<WPARAM>(i));
    // The list shrank while it was read: a later read sees it whole.
    if (length < 0) break;
    // The program may change the item between the two messages; the text
    // that comes back is then the new one, which may be longer.
    std::wstring item(static_cast<std::size_t>(length) + kItemSlack, L'\0');
    const LRESULT copied =
        list.Send(LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(item.data()));
    item.resize(
        static_cast<std::size_t>(std::clamp<LRESULT>(copied, 0, static_cast<LRESULT>(item.size()) - 1)));
    item.shrink_to_fit();
    items.push_back(std::move(item));
  }
  return items;
}

int App::ListSelection(int listId) const { return static_cast<int>(Control(listId).Send(LB_GETCURSEL)); }

void App::SelectListItem(int listId, int index) const {
  const Window list = Control(listId);
  list.Send(LB_SETCURSEL, static_cast<WPARAM>(index));
  // What the list box tells its window after a click or a key.
  main_.Send(WM_COMMAND, MAKEWPARAM(listId, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list.hwnd()));
}

bool App::ClickListItem(int listId, int index, int clicks, int button) const {
  const Window list = Control(listId);
  RECT item{};
  if (list.Send(LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)) == LB_ERR)
    return false;
  POINT centre{(item.left + item.right) / 2, (item.top + item.bottom) / 2};
  ::ClientToScreen(list.hwnd(), &centre);
  return ClickAt(centre.x, centre.y, clicks, button);
}

void App::SetText(int controlId, const std::wstring& text) const {
  Control(controlId).Send(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

Window App::Focus() const {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  if (!::GetGUIThreadInfo(threadId_, &info)) return Window();
  return Window(info.hwndFocus);
}

void App::Click(int buttonId) const { Control(buttonId).Post(BM_CLICK); }

void App::CloseBox() const { main_.Post(WM_SYSCOMMAND, SC_CLOSE); }

MessageBoxWindow App::WaitForMessageBox(std::chrono::milliseconds timeout) const {
  HWND found = nullptr;
  WaitUntil([&] { return (found = FindTopLevel(L"#32770")) != nullptr; }, timeout);
  return MessageBoxWindow(found);
}

MessageBoxWindow App::CurrentMessageBox() const { return MessageBoxWindow(FindTopLevel(L"#32770")); }

Window App::WaitForDialog(const std::wstring& caption, std::chrono::milliseconds timeout) const {
  HWND found = nullptr;
  WaitUntil([&] { return (found = FindTopLevel(L"#32770", caption)) != nullptr; }, timeout);
  return Window(found);
}

Window App::WaitForMenu(std::chrono::milliseconds timeout) const {
  HWND found = nullptr;
  WaitUntil([&] { return (found = FindTopLevel(L"#32768")) != nullptr; }, timeout);
  return Window(found);
}

bool App::Running() const {
  return process_.valid() && ::WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT;
}

std::optional<DWORD> App::WaitForExit(std::chrono::milliseconds timeout) const {
  if (!process_.valid()) return std::nullopt;
  if (::WaitForSingleObject(process_.get(), static_cast<DWORD>(timeout.count())) != WAIT_OBJECT_0) {
    return std::nullopt;
  }
  DWORD status = 0;
  if (!::GetExitCodeProcess(process_.get(), &status)) return std::nullopt;
  return status;
}

}  // namespace ombrel::testing::gui
