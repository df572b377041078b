#pragma once
// The engine's own algorithms in the registries: "ZIP" for compression; "Blowfish", "Twofish"
// and "Gost" for encryption, in that order. Called at engine start-up; calling it again changes
// nothing. UnregisterAllAlgorithms (algo_registry.h) empties the registries at shut-down.
namespace vesk {

void RegisterStandardAlgorithms();

}  // namespace vesk
