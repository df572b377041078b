#pragma once
// The building blocks of the 128-bit Twofish family of key schedules and rounds, in two
// variants: the engine's own cipher (odd subkeys from B shifted right by one bit, 15 cycles
// whose subkeys advance by two words) and the published cipher, kept to check the shared parts
// against its known answers.
//
// The schedule is 1064 words: the 40 subkeys, then four key-dependent tables of 256 words.
#include <cstdint>

namespace vesk::twofish {

enum class Variant { Engine, Published };

constexpr int kScheduleWords = 40 + 4 * 256;

// Key of Size bytes (0..32; rounded up to 16, 24 or 32 with zero bytes) into schedule.
void SetupKey(const std::uint8_t* key, int size, Variant variant, std::uint32_t* schedule);
// One 16-byte block in place.
void Encrypt(const std::uint32_t* schedule, Variant variant, std::uint8_t* block);
void Decrypt(const std::uint32_t* schedule, Variant variant, std::uint8_t* block);

}  // namespace vesk::twofish
