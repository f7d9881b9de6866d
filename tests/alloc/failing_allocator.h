// The global allocation functions of this test program, with a switch that
// makes the n-th allocation the agent makes throw std::bad_alloc. Only
// allocations made while armed on the calling thread count, and none made
// inside a viewer operation: the viewer's own memory never runs out.
#pragma once

namespace failing_allocator {

// Counts from the next armed allocation; 0: none fails.
void FailNth(long n);
// Whether the allocation chosen by FailNth has failed yet.
bool Failed();

// Arms counting for as long as it lives.
class Armed {
public:
    Armed();
    ~Armed();
    Armed(const Armed&) = delete;
    Armed& operator=(const Armed&) = delete;
};

}  // namespace failing_allocator
