// The temporary file a save writes before it puts it in place of the list.
// Its name carries the CRC-32 and the size of the content it was made for,
// so a later run can tell a temporary that was written and flushed whole from
// one a power cut stopped half-way: only the first has content that matches
// its name. On FAT and exFAT, where replacing a file is two steps, a cut
// between them leaves such a complete temporary and no list.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace ombrel {

class SystemPort;

// CRC-32 as ZIP and PNG have it (reflected, polynomial EDB88320).
[[nodiscard]] std::uint32_t Crc32(std::string_view bytes);

// The temporary beside `path` for `bytes`: "<path>.<CRC-32, 8 hex
// digits>-<size in bytes>.tmp". A file of that name may be left over from a
// save cut short, so a later attempt (1, 2 ...) adds "-<attempt>" before
// ".tmp".
[[nodiscard]] std::wstring TemporaryPath(std::wstring_view path, std::string_view bytes, unsigned attempt);

struct CompleteTemporary {
  std::wstring path;
  std::string bytes;
};

// The newest temporary of a save to `path` whose content matches its name.
// Files of other names beside it (OMBREL.DAT.new, OMBREL.DAT.bak) are never
// taken, nor read.
[[nodiscard]] std::optional<CompleteTemporary> FindCompleteTemporary(SystemPort& system,
                                                                     const std::wstring& path);

// Removes every temporary of a save to `path`, complete or cut short, that is
// left beside it: once a save has put the list in place none is needed. One
// that cannot be removed is left; nothing else is touched.
void RemoveTemporaries(SystemPort& system, const std::wstring& path);

}  // namespace ombrel
