// The tag object of `new (std::nothrow)`, which the C++ library would otherwise bring in; the programs
// have their own operator new.
#include <new>

namespace std {
const nothrow_t nothrow{};
}
