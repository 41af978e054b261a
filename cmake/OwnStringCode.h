// Read before every C++ file of the Windows Release builds (`-include`). The static runtime's
// std::string is one prebuilt object of all its members, which the linker takes whole (33 KB
// in the 32-bit program) once one of them is called. libstdc++'s value -1 here turns off only
// std::string's extern templates: each file then compiles the few members it calls, and the
// linker keeps one copy of each.
#include <bits/c++config.h>
#undef _GLIBCXX_EXTERN_TEMPLATE
#define _GLIBCXX_EXTERN_TEMPLATE -1
