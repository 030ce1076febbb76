// Control of the framework heap that the host tests link instead of afx/afxheap.cpp.
#pragma once

void FakeHeapReset();                // nothing planned to fail
void FakeHeapFailAllocation(int n);  // the nth allocation from now fails (1: the next one)
void FakeHeapFailAll();              // every allocation fails until the next reset
int FakeHeapLiveBlocks();            // blocks handed out and not yet released
int FakeHeapRefusals();              // allocations refused since the last reset
