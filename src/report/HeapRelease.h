#pragma once

// Hands the heap's free pages back to the system. The allocator keeps what a large report
// freed for later use, so without this a closed or re-laid-out report would go on counting
// in the process's resident size. Costs a walk over the free lists; call it after dropping
// something large, not in a loop.
void ReleaseFreedHeap();
