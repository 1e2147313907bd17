#pragma once
// Memory freed in large blocks stays with the process until the allocator is asked to hand it
// back: blocks of a size freed once are later taken from the heap, and the heap keeps what is
// freed in its middle. Asked once things have settled, not at each free.
namespace freedmemory {

// A second after the last call: the process's free memory goes back to the system.
void GiveBackSoon();

}  // namespace freedmemory
