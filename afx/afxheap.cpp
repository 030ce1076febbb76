// The process heap through the C runtime.
#include "afx/afxheap.h"

#include <cstdlib>

void* AfxAllocate(std::size_t size) { return std::malloc(size); }

void AfxRelease(void* block) { std::free(block); }
