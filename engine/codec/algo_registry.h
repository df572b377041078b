#pragma once
// The two global algorithm registries: ordered lists of (name, algorithm class) for compression
// and for encryption. Names compare with ASCII case ignored; a lookup returns the first match.
//
// A registry is created by its first registration and destroyed by UnregisterAllAlgorithms.
// They are written only at engine start-up and shut-down and read without a lock.
#include <string>

#include "engine/codec/data_process_algo.h"

namespace vesk {

// When AClass is registered already its entry is renamed to AName; otherwise (AName, AClass)
// is appended. Two classes under one name both stay; lookups find the earlier.
void RegisterCompressClass(const TCompressAlgoClass& AClass, const std::string& AName);
void RegisterEncryptClass(const TEncryptAlgoClass& AClass, const std::string& AName);

// The index of the first entry named Name, or -1 (also when the registry does not exist).
int FindCompressClass(const std::string& Name);
int FindEncryptClass(const std::string& Name);

// The entry at Index, or null when Index is out of range.
const TCompressAlgoClass* CompressClassAt(int Index);
const TEncryptAlgoClass* EncryptClassAt(int Index);
// The registered name at Index, or empty text when Index is out of range.
std::string CompressClassName(int Index);
std::string EncryptClassName(int Index);

int CompressClassCount();
int EncryptClassCount();

// Destroys both registries (the engine's shut-down).
void UnregisterAllAlgorithms();

}  // namespace vesk
