#pragma once
// A short-lived stream on one blob field of a table component's active row. It holds a copy
// of the value; in write and read-write mode every write puts the whole stream back into the
// record buffer's blob stream, so that the next post stores it. Write mode empties the value
// at once.
//
// The field's data set must be a TVeskTable (std::bad_cast otherwise). With no active record
// buffer the stream starts empty and its writes reach nothing. The caller owns the stream.
#include <cstdint>

#include "engine/dataset/tde_dataset.h"
#include "engine/stream.h"

namespace vesk {

class TVeskTable;

class TVeskBlobStream : public TMemoryStream {
  public:
    TVeskBlobStream(TField& field, TBlobStreamMode mode);

    std::int64_t Write(const void* buffer, std::int64_t count) override;
    // Empties the value, in the record buffer too.
    void Truncate();
    bool Modified() const { return modified_; }

  private:
    void LoadBlobData();
    void SaveBlobData();
    // The record buffer's stream of the field; nullptr without an active record buffer.
    TOptimBlobStream* BufferStream() const;

    TField& field_;
    TVeskTable& dataSet_;
    std::int32_t fieldNo_;
    TBlobStreamMode mode_;
    bool opened_ = false;
    bool modified_ = false;
};

}  // namespace vesk
