// The program's own allocations, in the test programs that link the
// tuvreli_test_heap objects (they replace operator new and delete): the
// blocks alive, what a round of work leaves behind; and a quarantine in which
// freed blocks are filled and kept rather than given back, so that a write
// through a dangling pointer shows in them.
#pragma once

namespace testheap {

long LiveBlocks();
void BeginQuarantine();
// Ends the quarantine: how many of the kept blocks were written after they were freed.
int EndQuarantine();

}  // namespace testheap
