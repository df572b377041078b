#include "engine/codec/standard_algorithms.h"

#include "engine/codec/algo_registry.h"
#include "engine/codec/enc_algo.h"
#include "engine/codec/zip_compress.h"

namespace vesk {

void RegisterStandardAlgorithms() {
    // Registering a class again only renames its entry, so a second call adds nothing.
    RegisterCompressClass(TCompAlgo_Zip::Class(), "ZIP");
    RegisterEncryptClass(TEncAlgo_Blowfish::Class(), "Blowfish");
    RegisterEncryptClass(TEncAlgo_Twofish::Class(), "Twofish");
    RegisterEncryptClass(TEncAlgo_Gost::Class(), "Gost");
}

}  // namespace vesk
