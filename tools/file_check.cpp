#include "tools/file_check.h"

#include <fstream>
#include <stdexcept>

#include "engine/codec/algo_registry.h"
#include "engine/file_format.h"
#include "engine/stored_text.h"
#include "platform/os/collation.h"
#include "platform/os/local_paths.h"
#include "tools/image_view.h"
#include "tools/problem_list.h"
#include "tools/table_check.h"

namespace vesktool {

namespace {

using namespace vesk::format;

void CheckFixedPart(const ImageView& image, ProblemList& problems) {
    const std::string_view version = GetText(image.At(kVersionAt), kVersionSize);
    if (version == "1.00")
        problems.Add("version 1.00 is not compatible");
    if (version > std::string_view("2.0"))
        problems.Add("version '" + std::string(version) + "' is above 2.0");
    const std::uint8_t* options = image.At(kOptionsAt);
    // The names the readers would look up: first the naming rule, then the registry.
    const auto checkName = [&](std::int32_t at, const char* what, bool registered) {
        const std::string name(GetText(options + at, kOptNameSize));
        const std::string problem = vesk::StoredAlgorithmNameProblem(options + at, kOptNameSize);
        if (!problem.empty())
            problems.Add("the name '" + vesk::EscapeStoredText(name) + "' of the " + what + " " +
                         problem);
        else if (!registered)
            problems.Add(std::string("the ") + what + " '" + name + "' is not registered");
    };
    if (options[kOptCompressOn] != 0) {
        const std::string name(GetText(options + kOptCompressName, kOptNameSize));
        checkName(kOptCompressName, "compression algorithm", vesk::FindCompressClass(name) >= 0);
    }
    if (options[kOptEncryptOn] != 0) {
        const std::string name(GetText(options + kOptCipherName, kOptNameSize));
        checkName(kOptCipherName, "cipher", vesk::FindEncryptClass(name) >= 0);
        if (options[kOptCipherMode] > 4)
            problems.Add("cipher mode " + std::to_string(options[kOptCipherMode]) +
                         " is not one of 0 to 4");
    }
}

CheckReport Report(ProblemList& problems) {
    CheckReport report;
    report.interrupted = problems.TakeInterrupted();
    report.problems = problems.Take();
    return report;
}

}  // namespace

CheckReport CheckImage(std::span<const std::uint8_t> bytes,
                       const std::optional<std::string>& password) {
    const ImageView image(bytes);
    ProblemList problems(kMaxListedProblems);
    if (!image.Has(0, kFirstFreeAt)) {
        problems.Add("the file has " + std::to_string(image.Size()) +
                     " bytes, fewer than its fixed part of " + std::to_string(kFirstFreeAt));
        return Report(problems);
    }
    if (GetText(image.At(kFileHeaderAt), kMagicSize) != kMagic) {
        problems.Add("the file does not begin with the magic text VeskDB");
        return Report(problems);
    }
    CheckFixedPart(image, problems);

    const std::int32_t count = image.I32(kTableTabAt + kTabCount);
    if (count < 0 || count > kMaxTables) {
        problems.Add("table count " + std::to_string(count) + " is over its 256 slots");
        return Report(problems);
    }
    const bool encryption = *image.At(kOptionsAt + kOptEncryptOn) != 0;
    ValueDecoder decoder(image.At(kOptionsAt), password);
    std::vector<std::int64_t> headers;
    for (std::int32_t t = 0; t < count; ++t)
        headers.push_back(image.I32(kTableTabAt + kTabOffsets + 4 * t));
    std::vector<std::string> names;
    vesk::TStructureMap structures;
    for (std::int32_t t = 0; t < count; ++t) {
        const std::int64_t at = headers[static_cast<size_t>(t)];
        if (at < kFirstFreeAt || !image.Has(at, kTableHeaderSize)) {
            problems.Add("table " + std::to_string(t) + ": header offset " + std::to_string(at) +
                         " is out of the file");
            continue;
        }
        const std::string name =
            CheckTable({image, at, encryption, problems, headers, decoder, t, structures});
        for (const std::string& other : names)
            if (os::CompareAnsiText(name, other, true) == 0)
                problems.Add("two tables are named '" + vesk::EscapeStoredText(name) + "'");
        names.push_back(name);
    }
    // No two structures of the file may share a byte, whichever tables they belong to.
    structures.ForEachOverlap([&](const std::string& overlap) { problems.Add(overlap); });
    return Report(problems);
}

CheckReport CheckFile(const std::string& path, const std::optional<std::string>& password) {
    // A FIFO or a device would block the read or read as something else.
    std::ifstream in;
    if (os::IsRegularFile(path))
        in.open(path, std::ios::binary | std::ios::ate);
    if (!in.is_open() || !in)
        throw std::runtime_error("Cannot open file " + path);
    // Read in one piece: a byte at a time is slow on files of some size.
    const std::streamoff size = in.tellg();
    std::vector<std::uint8_t> bytes(size > 0 ? static_cast<size_t>(size) : 0);
    in.seekg(0);
    if (size < 0 ||
        !in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size())))
        throw std::runtime_error("Cannot read file " + path);
    return CheckImage(bytes, password);
}

std::vector<std::string> CheckDatabaseImage(std::span<const std::uint8_t> image,
                                            const std::optional<std::string>& password) {
    return CheckImage(image, password).problems;
}

std::vector<std::string> CheckDatabaseFile(const std::string& path,
                                           const std::optional<std::string>& password) {
    return CheckFile(path, password).problems;
}

}  // namespace vesktool
