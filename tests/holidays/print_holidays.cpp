// Prints the core's Japanese holidays of the years asked for, one a line as
// "YYYY-MM-DD<TAB>name" in UTF-8, for the comparison with an independent list
// (compare_holidays.js).
#include <cstdio>
#include <cstdlib>

#include "common/list/utf8.h"
#include "common/schedule/japan_holidays.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s FIRST_YEAR LAST_YEAR\n", argv[0]);
    return 2;
  }
  const int first = std::atoi(argv[1]);
  const int last = std::atoi(argv[2]);
  for (int year = first; year <= last; ++year) {
    for (const ombrel::Holiday& holiday : ombrel::JapaneseHolidays(year)) {
      std::printf("%04d-%02u-%02u\t%s\n", static_cast<int>(holiday.date.year()),
                  static_cast<unsigned>(holiday.date.month()), static_cast<unsigned>(holiday.date.day()),
                  ombrel::ToUtf8(holiday.name).c_str());
    }
  }
  return 0;
}
