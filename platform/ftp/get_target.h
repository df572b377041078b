#pragma once
// What TIdFTP::Get does with the local target file.
namespace ftp {

enum class GetTarget {
    kCreate,     // no local file: create it
    kOverwrite,  // existing file written anew from its start
    kAppend,     // existing file continued from its end after a restart at its size
    kRefuse      // "Destination file already exists."
};

// exists: the local file exists; resumeTakesPlace: a resume was asked for and the server allows
// restarts. Never throws.
GetTarget ChooseGetTarget(bool exists, bool overwrite, bool resumeTakesPlace);

}  // namespace ftp
