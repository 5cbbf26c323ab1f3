// The test program's allocator, which can be told to fail: the n-th allocation after arming
// throws std::bad_alloc, as a large block does in a 32-bit process out of address space,
// where the small ones that follow still succeed.
#pragma once

class FailingAllocations {
  public:
    // Fails the allocation `after` allocations from now.
    explicit FailingAllocations(long after);
    // Disarms.
    ~FailingAllocations();
    FailingAllocations(const FailingAllocations&) = delete;
    FailingAllocations& operator=(const FailingAllocations&) = delete;

    // Whether an allocation was refused while armed.
    static bool Refused();
};
