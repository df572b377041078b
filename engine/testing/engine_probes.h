#pragma once
// For tests only: the global-state probes of the database engine (its algorithm registries
// and its session list) on top of those of the layer below.
#include <string>

#include "engine/codec/algo_registry.h"
#include "engine/session_list.h"
#include "platform/os/testing/os_probes.h"

namespace engine_testing {

inline const bool kAlgorithmProbe =
    os::testing::RegisterGlobalStateProbe("the algorithm registries", [] {
        return std::to_string(vesk::CompressClassCount()) + " compression and " +
               std::to_string(vesk::EncryptClassCount()) + " cipher classes";
    });

inline const bool kSessionProbe =
    os::testing::RegisterGlobalStateProbe("the engine's session list (VeskDB_Initialization)", [] {
        vesk::TVeskSessionList* list = vesk::SessionList();
        return list == nullptr ? std::string("not started")
                               : "started with " + std::to_string(list->Count()) + " sessions";
    });

}  // namespace engine_testing
