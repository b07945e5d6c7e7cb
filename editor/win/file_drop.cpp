#include "editor/win/file_drop.h"

#include <ole2.h>
#include <shellapi.h>

#include <string>
#include <vector>

namespace ombrel::editor {

namespace {

FORMATETC FileListFormat() { return {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL}; }

// The paths of a drop, in the order dropped.
std::vector<std::wstring> DroppedPaths(IDataObject* data) {
  std::vector<std::wstring> paths;
  FORMATETC format = FileListFormat();
  STGMEDIUM medium{};
  if (FAILED(data->GetData(&format, &medium))) return paths;
  const auto drop = static_cast<HDROP>(medium.hGlobal);
  const UINT count = ::DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
  for (UINT i = 0; i < count; ++i) {
    // Paths longer than MAX_PATH come whole.
    std::wstring path(::DragQueryFileW(drop, i, nullptr, 0) + 1, L'\0');
    path.resize(::DragQueryFileW(drop, i, path.data(), static_cast<UINT>(path.size())));
    paths.push_back(std::move(path));
  }
  ::ReleaseStgMedium(&medium);
  return paths;
}

}  // namespace

// Counted as COM asks; it lives while Windows or a dragging program holds
// it, and forgets the editor once the window revokes it.
class FileDrop::Target final : public IDropTarget {
 public:
  Target(HWND window, HWND list, HWND editBox, Editor& editor)
      : window_(window), list_(list), editBox_(editBox), editor_(&editor) {}

  void Forget() { editor_ = nullptr; }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override {
    if (id != __uuidof(IUnknown) && id != __uuidof(IDropTarget)) {
      *object = nullptr;
      return E_NOINTERFACE;
    }
    *object = static_cast<IDropTarget*>(this);
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }

  HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD, POINTL point, DWORD* effect) override {
    FORMATETC format = FileListFormat();
    carriesFiles_ = data != nullptr && data->QueryGetData(&format) == S_OK;
    *effect = EffectAt(point, *effect);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE DragOver(DWORD, POINTL point, DWORD* effect) override {
    *effect = EffectAt(point, *effect);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE DragLeave() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD, POINTL point, DWORD* effect) override {
    *effect = EffectAt(point, *effect);
    if (*effect == DROPEFFECT_NONE) return S_OK;
    const std::vector<std::wstring> paths = DroppedPaths(data);
    if (PlaceAt(point) == list_) {
      editor_->DropOnList(paths);
    } else {
      editor_->DropOnEditBox(paths);
    }
    return S_OK;
  }

 private:
  ~Target() = default;

  // The list or the edit box under the point, else null.
  [[nodiscard]] HWND PlaceAt(POINTL point) const {
    const HWND under = ::WindowFromPoint({point.x, point.y});
    return under == list_ || under == editBox_ ? under : nullptr;
  }
  // A drop makes an entry that names the file, never a copy: a link where
  // the source allows it. Never a move, which would have Explorer delete the
  // file it moved. Nothing while a message box or dialog holds the window,
  // as its buttons take no click then: a save may be asking its question.
  [[nodiscard]] DWORD EffectAt(POINTL point, DWORD allowed) const {
    if (editor_ == nullptr || !carriesFiles_ || ::IsWindowEnabled(window_) == FALSE) return DROPEFFECT_NONE;
    if (PlaceAt(point) == nullptr) return DROPEFFECT_NONE;
    if ((allowed & DROPEFFECT_LINK) != 0) return DROPEFFECT_LINK;
    return allowed & DROPEFFECT_COPY;
  }

  ULONG references_ = 1;
  HWND window_;
  HWND list_;
  HWND editBox_;
  Editor* editor_;
  bool carriesFiles_ = false;
};

FileDrop::FileDrop(HWND window, HWND list, HWND editBox, Editor& editor)
    : window_(window),
      target_(new Target(window, list, editBox, editor)),
      registered_(SUCCEEDED(::RegisterDragDrop(window, target_))) {}

FileDrop::~FileDrop() {
  if (registered_) ::RevokeDragDrop(window_);
  target_->Forget();
  target_->Release();
}

}  // namespace ombrel::editor
