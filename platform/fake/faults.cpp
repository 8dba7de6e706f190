// Faults by operation: every operation that changes the machine is counted by kind, and one
// chosen call of one kind can be made to fail.
#include "platform/fake/state.h"

namespace fake {

namespace detail {

bool FaultNow(Operation operation, const Wide& target, FaultKind* kind) {
    Machine& m = M();
    if (m.ended) {
        if (kind) *kind = FaultKind::Ended;
        return true;
    }
    if (m.beforeOperation) {
        // Another user acts now; what they do is no operation of this process.
        auto hook = std::move(m.beforeOperation);
        m.beforeOperation = nullptr;
        hook(operation, target);
        if (!M().beforeOperation) M().beforeOperation = std::move(hook);
    }
    if (m.operationsBeforeEnd > 0 && --m.operationsBeforeEnd == 0) m.ended = true;  // after this one
    int index = static_cast<int>(operation);
    int count = ++m.operationCounts[index];
    if (m.fault.operation != index || m.fault.nth != count) return false;
    m.fault.happened = true;
    m.fault.target = target;
    if (kind) *kind = m.fault.kind;
    return true;
}

}  // namespace detail

using namespace detail;

const char* OperationName(Operation operation) {
    static const char* const kNames[kOperationKinds] = {
        "file create", "file write", "set time", "folder create", "move",
        "delete",      "registry create", "registry set", "shortcut save", "file flush"};
    return kNames[static_cast<int>(operation)];
}

int OperationCount(Operation operation) { return M().operationCounts[static_cast<int>(operation)]; }

void FailOperation(Operation operation, int nth, FaultKind kind) {
    M().fault = InjectedFault();
    M().fault.operation = static_cast<int>(operation);
    M().fault.nth = nth;
    M().fault.kind = kind;
}

void EndProcessAfter(int operations) {
    M().operationsBeforeEnd = operations;
    M().ended = operations <= 0;
}

bool ProcessEnded() { return M().ended; }

int TotalOperationCount() {
    int total = 0;
    for (int count : M().operationCounts) total += count;
    return total;
}

void StartNextProcess() {
    std::vector<plat::Handle> open;
    for (const auto& entry : M().handles) open.push_back(entry.first);
    for (plat::Handle handle : open) plat::CloseHandle(handle);
    M().keyHandles.clear();
    M().ended = false;
    M().operationsBeforeEnd = 0;
}

void BeforeEachOperation(std::function<void(Operation, const Wide&)> hook) {
    M().beforeOperation = std::move(hook);
}

bool FaultHappened(Wide* target) {
    if (target) *target = M().fault.target;
    return M().fault.happened;
}

}  // namespace fake
