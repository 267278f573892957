#pragma once
// Filters write their records in the parameter image directly (a drag step, a typed value).
// Whoever keeps account of the image's changes installs an observer here, and every write a
// filter makes to a record is reported to it with the bytes it covers. No observer: nothing
// is reported (headless tools, tests of the filters alone).

#include <cstddef>

namespace qx {

using RecordWriteObserver = void (*)(void* context, const void* first, std::size_t size);

// Installs the observer (null removes it). The observer is called on the thread that wrote.
void SetRecordWriteObserver(RecordWriteObserver observer, void* context);

// Reports that [first, first + size) of a record was written.
void NoteRecordWrite(const void* first, std::size_t size);

}  // namespace qx
