#pragma once
// A table owner for a file used without a database component (tools and tests): it lends an
// open TVeskDBFileIO and reads the table names once at construction. The file must outlive it.
#include <string>
#include <vector>

#include "engine/db_error.h"
#include "engine/table_io.h"

namespace vesk {

class TFileTableIOOwner : public TTableIOOwner {
  public:
    explicit TFileTableIOOwner(TVeskDBFileIO& file) : file_(file) { file_.GetTableNames(names_); }
    TVeskDBFileIO& FileIO() override {
        if (!file_.IsOpen())
            throw EDatabaseError("Cannot perform this operation on a closed database");
        return file_;
    }
    const std::vector<std::string>& TableNames() override { return names_; }

  private:
    TVeskDBFileIO& file_;
    std::vector<std::string> names_;
};

}  // namespace vesk
