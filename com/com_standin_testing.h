// Test hooks of the component-system stand-in: memory exhaustion on demand for the automation
// string allocator, so that tests can fail each string allocation of a call in turn.
#pragma once

#if !defined(_WIN32)

namespace com::standin {

// Makes the `n`th automation string allocation from now fail as exhausted memory does (n = 1:
// the next one); 0 lets every allocation succeed again. One countdown for the whole process,
// meant for single-threaded tests.
void FailNthStringAllocation(unsigned n);

// True while an armed failure has not happened yet.
bool StringAllocationFailurePending();

}  // namespace com::standin

#endif
