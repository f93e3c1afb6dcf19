// The memory register kept between sessions: read once at start, then written by a view of
// the model whenever it changes, so that a program killed right after M+ loses nothing.
#pragma once

#include "model/Calcmodel_un.h"

#include <string>

class KeptMemory final : public CalculatorView {
public:
    // path: the state file; empty keeps nothing.
    explicit KeptMemory(std::string path) : path_(std::move(path)) {}
    // The kept memory restored into the model, then every change kept.
    void Restore(CalculatorModel& model);
    void MemoryChanged(double memory) override;

private:
    std::string path_;
};
