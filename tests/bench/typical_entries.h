// A list of typical entries, the same for every benchmark: program paths
// with and without blanks, quoted command lines with arguments, Japanese
// document and folder paths, one with a comma (written quoted), web and
// mail addresses. About 45 bytes a line in code page 932. Characters of the
// first plane only, so that the list is the same in a 16-bit and a 32-bit
// wchar_t.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace ombrel::bench {

inline std::vector<std::wstring> TypicalEntries(std::size_t count) {
  std::vector<std::wstring> entries;
  entries.reserve(count);
  for (std::size_t i = 0; i < count; ++i) {
    const std::wstring n = std::to_wstring(i);
    switch (i % 8) {
      case 0:
        entries.push_back(L"C:\\Program Files\\Vendor\\App" + n + L"\\app.exe");
        break;
      case 1:
        entries.push_back(L"\"C:\\Program Files (x86)\\Tool" + n + L"\\tool.exe\" /min");
        break;
      case 2:
        entries.push_back(L"C:\\Users\\taro\\Documents\\報告書" + n + L".xlsx");
        break;
      case 3:
        entries.push_back(L"D:\\共有\\議事録\\" + n + L"月定例会議.docx");
        break;
      case 4:
        entries.push_back(L"https://www.example.jp/news/" + n + L"/index.html");
        break;
      case 5:
        entries.push_back(L"yamada" + n + L"@mail.example.jp");
        break;
      case 6:
        entries.push_back(L"C:\\Users\\taro\\Desktop\\予定,メモ" + n + L".txt");
        break;
      default:
        entries.push_back(L"notepad.exe C:\\memo\\" + n + L".txt");
        break;
    }
  }
  return entries;
}

}  // namespace ombrel::bench
