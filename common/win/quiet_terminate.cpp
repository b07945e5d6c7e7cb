// What ends either program when an exception escapes everything: both are
// window programs without a console, where libstdc++'s own handler would
// print the exception's type, demangled, to nowhere. Replacing it keeps its
// demangler, some 45 KB, out of each program. Linked into each program as an
// object of its own: from a library it would come too late to replace the
// default one.
#include <cstdlib>

namespace __gnu_cxx {

[[noreturn]] void __verbose_terminate_handler();

void __verbose_terminate_handler() { std::abort(); }

}  // namespace __gnu_cxx
