#include "failing_allocator.h"

#include <cstdlib>
#include <new>

namespace {

// Read and changed by the one test thread only.
long remaining = -1; // allocations left before failing; -1 when disarmed
bool refused = false;

void* Allocate(size_t size) {
    if (remaining == 0) {
        refused = true;
        remaining = -1;
        throw std::bad_alloc();
    }
    if (remaining > 0)
        --remaining;
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}

} // namespace

FailingAllocations::FailingAllocations(long after) {
    refused = false;
    remaining = after;
}

FailingAllocations::~FailingAllocations() {
    remaining = -1;
}

bool FailingAllocations::Refused() {
    return refused;
}

void* operator new(size_t size) {
    return Allocate(size);
}
void* operator new[](size_t size) {
    return Allocate(size);
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete[](void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, size_t) noexcept {
    std::free(p);
}
void operator delete[](void* p, size_t) noexcept {
    std::free(p);
}
