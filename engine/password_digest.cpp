#include "engine/password_digest.h"

#include "engine/codec/hash.h"
#include "engine/codec/sha_hash.h"

namespace vesk {

std::string PasswordDigestText(const std::string& password) {
    return CalcHashString(&THash_SHA::New, password, nullptr);
}

}  // namespace vesk
