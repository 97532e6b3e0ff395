// The program's operator new with failure on demand: the nth allocation from now on the calling
// thread throws std::bad_alloc (the nothrow forms answer null), as exhausted memory does.
#pragma once

namespace hardening {

// Fails the `n`th allocation from now on this thread (n = 1: the next one); 0 fails none.
void FailNthNew(unsigned n);
// True while an armed failure has not happened yet.
bool NewFailurePending();

}  // namespace hardening
