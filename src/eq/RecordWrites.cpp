#include "RecordWrites.h"

#include <atomic>

namespace qx {

namespace {

// Filters live on the user-interface thread, and so does the observer; the atomics only keep
// a filter used elsewhere (a response computed on a copy) free of data races.
std::atomic<RecordWriteObserver> observerCall{nullptr};
std::atomic<void*> observerContext{nullptr};

}  // namespace

void SetRecordWriteObserver(RecordWriteObserver observer, void* context) {
    observerCall.store(nullptr);
    observerContext.store(context);
    observerCall.store(observer);
}

void NoteRecordWrite(const void* first, std::size_t size, RecordWrite when) {
    const RecordWriteObserver call = observerCall.load();
    if (call != nullptr) {
        call(observerContext.load(), first, size, when);
    }
}

}  // namespace qx
