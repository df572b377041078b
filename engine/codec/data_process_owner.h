#pragma once
// The object that owns the compression and encryption managers of one open database (the file
// access object). The managers bind the progress events of their algorithm objects to these
// calls, so the owner can pass them on to the database's own events.
namespace vesk {

class TDataProcessOwner {
  public:
    virtual ~TDataProcessOwner() = default;

    // Sender is the algorithm object's Owner (this object); Percent is 0 to 100.
    // They must not throw: they run inside the algorithms' loops.
    virtual void DoCompressProgress(TDataProcessOwner* Sender, int Percent) = 0;
    virtual void DoUncompressProgress(TDataProcessOwner* Sender, int Percent) = 0;
    virtual void DoEncryptProgress(TDataProcessOwner* Sender, int Percent) = 0;
    virtual void DoDecryptProgress(TDataProcessOwner* Sender, int Percent) = 0;
};

}  // namespace vesk
