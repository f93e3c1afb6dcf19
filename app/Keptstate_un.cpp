#include "Keptstate_un.h"

#include "config/Statefile_un.h"

void KeptMemory::Restore(CalculatorModel& model) {
    if (path_.empty()) return;
    model.Do({.kind = Action::RestoreMemory, .value = ReadState(path_)});
    model.AddView(*this);
}

void KeptMemory::MemoryChanged(double memory) {
    WriteState(path_, memory);
}
