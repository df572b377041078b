#pragma once
// For tests only: the standard compression and cipher algorithms registered for the scope's
// lifetime, so that a test leaves the registries as it found them (empty).
#include "engine/codec/algo_registry.h"
#include "engine/codec/standard_algorithms.h"

namespace engine_testing {

class ScopedStandardAlgorithms {
  public:
    ScopedStandardAlgorithms() { vesk::RegisterStandardAlgorithms(); }
    ~ScopedStandardAlgorithms() { vesk::UnregisterAllAlgorithms(); }
    ScopedStandardAlgorithms(const ScopedStandardAlgorithms&) = delete;
    ScopedStandardAlgorithms& operator=(const ScopedStandardAlgorithms&) = delete;
};

}  // namespace engine_testing
