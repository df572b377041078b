#pragma once
// The database engine's start-up and shut-down around the program's run: the algorithm
// registries and the session list with the default session exist while the object lives.
#include "engine/codec/algo_registry.h"
#include "engine/codec/standard_algorithms.h"
#include "engine/session_list.h"

class EngineLifetime {
  public:
    EngineLifetime() {
        vesk::RegisterStandardAlgorithms();
        vesk::VeskDB_Initialization();
    }
    ~EngineLifetime() {
        vesk::VeskDB_Finalization();
        vesk::UnregisterAllAlgorithms();
    }
    EngineLifetime(const EngineLifetime&) = delete;
    EngineLifetime& operator=(const EngineLifetime&) = delete;
};
