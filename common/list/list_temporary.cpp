#include "common/list/list_temporary.h"

#include <array>

#include "common/list/ascii_case.h"
#include "common/port/system_port.h"

namespace ombrel {

namespace {

constexpr std::array<std::uint32_t, 256> kCrcTable = [] {
  std::array<std::uint32_t, 256> table{};
  for (std::uint32_t n = 0; n < 256; ++n) {
    std::uint32_t c = n;
    for (int k = 0; k < 8; ++k) c = (c & 1U) != 0 ? 0xEDB88320U ^ (c >> 1U) : c >> 1U;
    table[n] = c;
  }
  return table;
}();

constexpr std::wstring_view kExtension = L".tmp";

std::wstring_view FileNameOf(std::wstring_view path) {
  const std::size_t slash = path.rfind(L'\\');
  return slash == std::wstring_view::npos ? path : path.substr(slash + 1);
}

// Takes a run of digits of `base` from the front of `text`; nothing when
// there is none or it is too long to be a size.
std::optional<std::uint64_t> TakeNumber(std::wstring_view& text, unsigned base) {
  std::uint64_t value = 0;
  std::size_t length = 0;
  for (; length < text.size(); ++length) {
    const wchar_t c = AsciiLower(text[length]);
    unsigned digit = base;
    if (c >= L'0' && c <= L'9') digit = static_cast<unsigned>(c - L'0');
    if (c >= L'a' && c <= L'f') digit = static_cast<unsigned>(c - L'a' + 10);
    if (digit >= base) break;
    value = value * base + digit;
  }
  if (length == 0 || length > 16) return std::nullopt;
  text.remove_prefix(length);
  return value;
}

struct TemporaryName {
  std::uint32_t crc;
  std::uint64_t size;
};

// What the name of `candidate` says its content is, when it is named as a
// temporary of `path`; letter case is ignored, as the file system ignores it.
std::optional<TemporaryName> ParseTemporaryName(std::wstring_view path, std::wstring_view candidate) {
  const std::wstring_view list = FileNameOf(path);
  std::wstring_view rest = FileNameOf(candidate);
  if (rest.size() <= list.size() + 1 ||
      !EqualsIgnoringAsciiCase<wchar_t>(rest.substr(0, list.size()), list) || rest[list.size()] != L'.') {
    return std::nullopt;
  }
  rest.remove_prefix(list.size() + 1);
  if (rest.size() < 9 || rest[8] != L'-') return std::nullopt;
  std::wstring_view crcText = rest.substr(0, 8);
  const std::optional<std::uint64_t> crc = TakeNumber(crcText, 16);
  if (!crc || !crcText.empty()) return std::nullopt;
  rest.remove_prefix(9);
  const std::optional<std::uint64_t> size = TakeNumber(rest, 10);
  if (!size) return std::nullopt;
  if (rest.starts_with(L'-')) {
    rest.remove_prefix(1);
    if (!TakeNumber(rest, 10)) return std::nullopt;
  }
  if (!EqualsIgnoringAsciiCase<wchar_t>(rest, kExtension)) return std::nullopt;
  return TemporaryName{static_cast<std::uint32_t>(*crc), *size};
}

}  // namespace

std::uint32_t Crc32(std::string_view bytes) {
  std::uint32_t crc = 0xFFFFFFFFU;
  for (const char byte : bytes)
    crc = kCrcTable[(crc ^ static_cast<unsigned char>(byte)) & 0xFFU] ^ (crc >> 8U);
  return crc ^ 0xFFFFFFFFU;
}

std::wstring TemporaryPath(std::wstring_view path, std::string_view bytes, unsigned attempt) {
  std::wstring name(path);
  name += L'.';
  const std::uint32_t crc = Crc32(bytes);
  for (int shift = 28; shift >= 0; shift -= 4)
    name += L"0123456789ABCDEF"[(crc >> static_cast<unsigned>(shift)) & 0xFU];
  name += L'-';
  name += std::to_wstring(bytes.size());
  if (attempt > 0) name += L'-' + std::to_wstring(attempt);
  name += kExtension;
  return name;
}

std::optional<CompleteTemporary> FindCompleteTemporary(SystemPort& system, const std::wstring& path) {
  std::optional<CompleteTemporary> newest;
  std::uint64_t newestTime = 0;
  for (const std::wstring& candidate : system.FindFiles(path + L".*")) {
    const std::optional<TemporaryName> name = ParseTemporaryName(path, candidate);
    if (!name) continue;
    FileRead file = system.ReadAll(candidate);
    // Content that does not match the name was cut short: never a list.
    if (file.status != ReadStatus::kRead || file.bytes.size() != name->size ||
        Crc32(file.bytes) != name->crc) {
      continue;
    }
    if (newest && file.metadata.lastWriteTime <= newestTime) continue;
    newestTime = file.metadata.lastWriteTime;
    newest = CompleteTemporary{candidate, std::move(file.bytes)};
  }
  return newest;
}

void RemoveTemporaries(SystemPort& system, const std::wstring& path) {
  for (const std::wstring& candidate : system.FindFiles(path + L".*")) {
    if (ParseTemporaryName(path, candidate)) static_cast<void>(system.RemoveFile(candidate));
  }
}

}  // namespace ombrel
