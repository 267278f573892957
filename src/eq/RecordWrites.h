#pragma once
// Filters write their records in the parameter image directly (a drag step, a typed value).
// Whoever keeps account of the image's changes installs an observer here, and every write a
// filter makes to a record is reported to it with the bytes it covers, once just before the
// write (so the old bytes can be kept) and once after it. No observer: nothing is reported
// (headless tools, tests of the filters alone).

#include <cstddef>

namespace qx {

enum class RecordWrite { Before, After };

using RecordWriteObserver = void (*)(void* context, const void* first, std::size_t size,
                                     RecordWrite when);

// Installs the observer (null removes it). The observer is called on the thread that wrote.
void SetRecordWriteObserver(RecordWriteObserver observer, void* context);

// Reports that [first, first + size) of a record is about to be written, or was written.
void NoteRecordWrite(const void* first, std::size_t size, RecordWrite when);

// Writes one field of a record and reports it before and after.
template <class Field, class Value>
void WriteRecordField(Field& field, Value value) {
    NoteRecordWrite(&field, sizeof field, RecordWrite::Before);
    field = value;
    NoteRecordWrite(&field, sizeof field, RecordWrite::After);
}

}  // namespace qx
