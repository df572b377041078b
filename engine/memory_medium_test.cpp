#include "engine/memory_medium.h"

#include <gtest/gtest.h>

#include "engine/db_error.h"

namespace vesk {
namespace {

TEST(MemoryMedium, NamesAreKeysNotAddresses) {
    struct Case {
        const char* name;
        bool valid;
    } cases[] = {{":1234", true}, {":abCD", true},  {":0", true},    {":", false},
                 {"", false},     {":12g4", false}, {"1234", false}, {": 12", false}};
    for (const Case& c : cases)
        EXPECT_EQ(TMemoryMedium::IsValidName(c.name), c.valid) << c.name;

    TMemoryStream image;
    // A name that spells this stream's address finds nothing until it is registered.
    char address[32];
    std::snprintf(address, sizeof address, ":%llX",
                  static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(&image)));
    EXPECT_EQ(TMemoryMedium::Find(address), nullptr);
    {
        TMemoryImageRegistration registration(image);
        EXPECT_TRUE(TMemoryMedium::IsValidName(registration.Name()));
        EXPECT_EQ(TMemoryMedium::Find(registration.Name()), &image);
        TMemoryImageRegistration other(image);
        EXPECT_NE(other.Name(), registration.Name());
    }
    TMemoryMedium::Register(":00aB", image);
    EXPECT_EQ(TMemoryMedium::Find(":AB"), &image) << "case and leading zeros do not matter";
    TMemoryMedium::Unregister(":ab");
    EXPECT_EQ(TMemoryMedium::Find(":00aB"), nullptr);
    EXPECT_THROW(TMemoryMedium::Register(":zz", image), EDatabaseError);
}

}  // namespace
}  // namespace vesk
