#include "common/win/com_apartment.h"

#include <objbase.h>

#include "common/win/scoped.h"

namespace ombrel::win {

namespace {

using CoInitializeExFn = HRESULT(WINAPI*)(LPVOID, DWORD);
using OleInitializeFn = HRESULT(WINAPI*)(LPVOID);
using UninitializeFn = void(WINAPI*)();

}  // namespace

ComApartment::ComApartment(Kind kind) {
  ole32_ = LoadSystemLibrary(L"ole32.dll");
  if (auto initialize = GetProc<CoInitializeExFn>(ole32_, "CoInitializeEx")) {
    comJoined_ = SUCCEEDED(initialize(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE));
  }
  // OLE joins the apartment just made, keeping its flags.
  if (comJoined_ && kind == Kind::kComAndOle) {
    if (auto initialize = GetProc<OleInitializeFn>(ole32_, "OleInitialize")) {
      oleJoined_ = SUCCEEDED(initialize(nullptr));
    }
  }
}

ComApartment::~ComApartment() {
  if (oleJoined_) {
    if (auto uninitialize = GetProc<UninitializeFn>(ole32_, "OleUninitialize")) uninitialize();
  }
  if (comJoined_) {
    if (auto uninitialize = GetProc<UninitializeFn>(ole32_, "CoUninitialize")) uninitialize();
  }
}

}  // namespace ombrel::win
