#include "tools/vesk_commands.h"

#include <fstream>
#include <ostream>
#include <sstream>

#include "engine/file_builder.h"
#include "tools/file_check.h"
#include "tools/schema_parser.h"
#include "tools/table_import.h"
#include "tools/table_listing.h"

namespace vesktool {

namespace {

constexpr const char* kUsage =
    "usage: vesk create FILE SCHEMA\n"
    "       vesk tables FILE\n"
    "       vesk dump FILE TABLE\n"
    "       vesk check FILE\n"
    "       vesk import FILE TABLE TSV\n"
    "       vesk delete FILE TABLE FIELD VALUE\n";

std::string ReadTextFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("Cannot open file " + path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

int Create(const std::string& file, const std::string& schemaPath) {
    const vesk::DatabaseSchema schema = ParseSchema(ReadTextFile(schemaPath));
    vesk::CreateDatabaseFile(file, schema);
    return kExitOk;
}

int Check(const std::string& file, std::ostream& err) {
    const std::vector<std::string> problems = CheckDatabaseFile(file);
    for (const std::string& problem : problems)
        err << file << ": " << problem << '\n';
    return problems.empty() ? kExitOk : kExitFailed;
}

}  // namespace

int RunVesk(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const std::string command = args.empty() ? "" : args[0];
    try {
        if (command == "create" && args.size() == 3)
            return Create(args[1], args[2]);
        if (command == "tables" && args.size() == 2) {
            ListTables(args[1], out);
            return kExitOk;
        }
        if (command == "dump" && args.size() == 3) {
            DumpTable(args[1], args[2], out);
            return kExitOk;
        }
        if (command == "check" && args.size() == 2)
            return Check(args[1], err);
        if (command == "import" && args.size() == 4) {
            std::ifstream tsv(args[3], std::ios::binary);
            if (!tsv)
                throw std::runtime_error("Cannot open file " + args[3]);
            out << ImportRows(args[1], args[2], tsv) << " rows imported\n";
            return kExitOk;
        }
        if (command == "delete" && args.size() == 5) {
            out << DeleteRows(args[1], args[2], args[3], args[4]) << " rows deleted\n";
            return kExitOk;
        }
    } catch (const std::exception& e) {
        err << "vesk " << command << ": " << e.what() << '\n';
        return kExitFailed;
    }
    err << kUsage;
    return kExitUsage;
}

}  // namespace vesktool
