#pragma once
// Big runs fill hundreds of megabytes of heap. On 4 KiB pages every first
// touch of a page is a fault, and every fresh page, huge or not, must be
// cleared by the system: on a virtual machine both can cost more than a
// step's own work. These settings keep the heap growing in large steps,
// serve the large arrays from it too (see huge_allocator.h), keep what is
// freed for the next step to reuse rather than handing it back, and ask for
// huge pages (2 MiB) over the heap.
namespace core {

// Once, before the large allocations of a run; nothing under the address
// sanitizer, whose allocator is its own, nor where address space is limited
// or committed strictly (the C library's defaults then).
void prefer_huge_heap_pages();

// Asks for huge pages over the heap as it stands, including what it grew
// by since the last call: call it between the steps of a run.
void advise_huge_heap_pages();

}  // namespace core
