#include "tools/vesk_commands.h"

#include <fstream>
#include <optional>
#include <ostream>
#include <sstream>

#include "engine/codec/algo_registry.h"
#include "engine/file_builder.h"
#include "engine/password_digest.h"
#include "tools/file_check.h"
#include "tools/schema_parser.h"
#include "tools/table_import.h"
#include "tools/table_listing.h"

namespace vesktool {

namespace {

constexpr const char* kUsage =
    "usage: vesk create FILE SCHEMA [--password PASSWORD]\n"
    "       vesk tables FILE\n"
    "       vesk dump FILE TABLE [--password PASSWORD] [--filter EXPRESSION]\n"
    "       vesk check FILE [--password PASSWORD]\n"
    "       vesk import FILE TABLE TSV [--password PASSWORD]\n"
    "       vesk delete FILE TABLE FIELD VALUE [--password PASSWORD]\n";

// The words of a command line with its options taken out.
struct CommandLine {
    std::vector<std::string> words;
    std::optional<std::string> password;
    std::optional<std::string> filter;
    bool understood = true;
};

CommandLine SplitOptions(const std::vector<std::string>& args) {
    CommandLine line;
    for (size_t i = 0; i < args.size(); ++i) {
        std::optional<std::string>* option = args[i] == "--password" ? &line.password
                                             : args[i] == "--filter" ? &line.filter
                                                                     : nullptr;
        if (option == nullptr) {
            line.words.push_back(args[i]);
            continue;
        }
        if (i + 1 == args.size() || option->has_value())
            line.understood = false;  // no value, or given twice
        else
            *option = args[++i];
    }
    return line;
}

std::string ReadTextFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("Cannot open file " + path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The codec options of a file to be created: the password becomes the digest text the file
// holds, and names the engine does not know are refused now rather than at every open.
void ApplyCodecOptions(vesk::SchemaOptions& options, const std::optional<std::string>& password) {
    if (password) {
        if (!options.encryption)
            throw std::runtime_error("--password needs a schema with an encryption line");
        if (!options.passwordDigest.empty())
            throw std::runtime_error(
                "the schema gives a password digest already; give it or --password, not both");
        options.passwordDigest = vesk::PasswordDigestText(*password);
    }
    if (options.encryption && options.passwordDigest.empty())
        throw std::runtime_error("an enciphered file needs a password: give --password");
    if (options.compression && vesk::FindCompressClass(options.compressionName) < 0)
        throw std::runtime_error("Compression algorithm module '" + options.compressionName +
                                 "' not found");
    if (options.encryption && vesk::FindEncryptClass(options.cipherName) < 0)
        throw std::runtime_error("Encryption algorithm module '" + options.cipherName +
                                 "' not found");
}

int Create(const std::string& file, const std::string& schemaPath,
           const std::optional<std::string>& password) {
    vesk::DatabaseSchema schema = ParseSchema(ReadTextFile(schemaPath));
    ApplyCodecOptions(schema.options, password);
    vesk::CreateDatabaseFile(file, schema);
    return kExitOk;
}

// Problems are damage and fail the check; a write that was cut short leaves a sound file and is
// only named.
int Check(const std::string& file, const std::optional<std::string>& password, std::ostream& out,
          std::ostream& err) {
    const CheckReport report = CheckFile(file, password);
    for (const std::string& mark : report.interrupted)
        out << file << ": " << mark << '\n';
    for (const std::string& problem : report.problems)
        err << file << ": " << problem << '\n';
    return report.problems.empty() ? kExitOk : kExitFailed;
}

// Runs the command of the line; nothing when the line names no command with its words.
std::optional<int> RunCommand(const CommandLine& line, std::ostream& out, std::ostream& err) {
    const std::vector<std::string>& words = line.words;
    const std::string& command = words[0];
    const std::string password = line.password.value_or("");
    if (command == "create" && words.size() == 3)
        return Create(words[1], words[2], line.password);
    if (command == "dump" && words.size() == 3) {
        DumpTable(words[1], words[2], out, password, line.filter.value_or(""));
        return kExitOk;
    }
    if (line.filter)
        return std::nullopt;  // only dump filters
    if (command == "import" && words.size() == 4) {
        std::ifstream tsv(words[3], std::ios::binary);
        if (!tsv)
            throw std::runtime_error("Cannot open file " + words[3]);
        out << ImportRows(words[1], words[2], tsv, password) << " rows imported\n";
        return kExitOk;
    }
    if (command == "delete" && words.size() == 5) {
        out << DeleteRows(words[1], words[2], words[3], words[4], password) << " rows deleted\n";
        return kExitOk;
    }
    if (command == "check" && words.size() == 2)
        return Check(words[1], line.password, out, err);
    if (line.password)
        return std::nullopt;  // the other commands read no values and take no password
    if (command == "tables" && words.size() == 2) {
        ListTables(words[1], out);
        return kExitOk;
    }
    return std::nullopt;
}

}  // namespace

int RunVesk(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const CommandLine line = SplitOptions(args);
    if (line.understood && !line.words.empty()) {
        try {
            if (const std::optional<int> code = RunCommand(line, out, err))
                return *code;
        } catch (const std::exception& e) {
            err << "vesk " << line.words[0] << ": " << e.what() << '\n';
            return kExitFailed;
        }
    }
    err << kUsage;
    return kExitUsage;
}

}  // namespace vesktool
