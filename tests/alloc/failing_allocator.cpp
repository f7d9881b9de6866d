#include "tests/alloc/failing_allocator.h"

#include "viewer/sim_control.h"

#include <cstdlib>
#include <new>

namespace failing_allocator {
namespace {
thread_local int t_armed = 0;
thread_local long t_failAt = 0;
thread_local long t_counted = 0;
thread_local bool t_failed = false;

bool ShouldFail() {
    if (t_armed == 0 || t_failAt == 0 || t_failed || nuvsim::InsideViewerCall()) return false;
    if (++t_counted < t_failAt) return false;
    t_failed = true;
    return true;
}
}  // namespace

void FailNth(long n) {
    t_failAt = n;
    t_counted = 0;
    t_failed = false;
}

bool Failed() { return t_failed; }

Armed::Armed() { ++t_armed; }
Armed::~Armed() { --t_armed; }

}  // namespace failing_allocator

void* operator new(std::size_t size) {
    if (failing_allocator::ShouldFail()) throw std::bad_alloc();
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}

void* operator new[](std::size_t size) { return operator new(size); }

void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return operator new(size);
    } catch (...) {
        return nullptr;
    }
}

void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    return operator new(size, std::nothrow);
}

void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
