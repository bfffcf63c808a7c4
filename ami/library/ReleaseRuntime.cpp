// Linked only into a model library that carries its own copy of the C++
// runtime. That runtime reserves a pool for exceptions thrown when memory is
// short as it loads and never gives it back; a host that loads and unloads
// the library once per run (a parameter sweep) would lose the pool each
// time. It goes back to the host's heap as the library unloads.
namespace __gnu_cxx {
void __freeres() noexcept;
}

namespace {
// After every other destructor of the library, so nothing can still throw.
__attribute__((destructor(101))) void ReleaseRuntime() { __gnu_cxx::__freeres(); }
} // namespace
