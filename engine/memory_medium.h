#pragma once
// The memory medium: database images that live in streams of this process instead of files.
//
// A memory database is named ":" followed by hexadecimal digits. The name is only a key into
// this registry; it is never turned into an address. The registry does not own the streams:
// whoever registers an image keeps it alive until it is unregistered (TMemoryImageRegistration
// does both ends by RAII). All functions are safe to call from several threads.
#include <string>
#include <string_view>

#include "engine/stream.h"

namespace vesk {

class TMemoryMedium {
  public:
    // True for ":" followed by one or more hexadecimal digits (either case).
    static bool IsValidName(std::string_view name);

    // Registers image under a fresh name and returns it. Never throws except for bad_alloc.
    static std::string Register(TStream& image);
    // Registers image under name (replacing an image registered under it).
    // Throws EDatabaseError("Invalid database name '<name>'") for a malformed name.
    static void Register(const std::string& name, TStream& image);
    // Removes the name; nothing when it is not registered.
    static void Unregister(const std::string& name);

    // The image registered under name; nullptr when the name is malformed or unknown.
    // Names that differ only in letter case or leading zeros of the digits are the same name.
    static TStream* Find(std::string_view name);
};

// Registers an image for the lifetime of this object.
class TMemoryImageRegistration {
  public:
    explicit TMemoryImageRegistration(TStream& image) : name_(TMemoryMedium::Register(image)) {}
    ~TMemoryImageRegistration() { TMemoryMedium::Unregister(name_); }
    TMemoryImageRegistration(const TMemoryImageRegistration&) = delete;
    TMemoryImageRegistration& operator=(const TMemoryImageRegistration&) = delete;

    const std::string& Name() const { return name_; }

  private:
    std::string name_;
};

}  // namespace vesk
