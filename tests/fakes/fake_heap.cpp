// The framework heap for the host tests: malloc and free, counted, failing on demand.
#include "afx/afxheap.h"

#include <cstdlib>

#include "fake_heap.h"

namespace {

int s_allocations = 0;
int s_liveBlocks = 0;
int s_failingAllocation = 0;  // number of the allocation that fails; 0 for none
bool s_failAll = false;
int s_refusals = 0;

}  // namespace

void FakeHeapReset() {
    s_allocations = 0;
    s_failingAllocation = 0;
    s_failAll = false;
    s_refusals = 0;
}

void FakeHeapFailAllocation(int n) { s_failingAllocation = s_allocations + n; }

void FakeHeapFailAll() { s_failAll = true; }

int FakeHeapLiveBlocks() { return s_liveBlocks; }

int FakeHeapRefusals() { return s_refusals; }

void* AfxAllocate(std::size_t size) {
    if (s_failAll || ++s_allocations == s_failingAllocation) {
        ++s_refusals;
        return nullptr;
    }
    void* block = std::malloc(size);
    if (block != nullptr) ++s_liveBlocks;
    return block;
}

void AfxRelease(void* block) {
    if (block != nullptr) --s_liveBlocks;
    std::free(block);
}
