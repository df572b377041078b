#pragma once
// TDataSource and TMasterDataLink: how a detail table follows a master data set. A data source
// names one data set; master data links attach to a data source and hear when its data set's
// current row or one of its fields changes, and when it closes.
//
// Ownership: nobody owns anybody. Each side detaches itself when destroyed (a data set from
// its data sources, a data source from its data set and links, a link from its source), so no
// side is left pointing at a freed one. Notifications run on the caller's thread, inside the
// master's operation; an exception from a listener passes on to the master's caller.
#include <functional>
#include <string>
#include <vector>

namespace vesk {

class TField;
class TMasterDataLink;
class TTDEDataSet;

class TDataSource {
  public:
    explicit TDataSource(TTDEDataSet* dataSet = nullptr);
    ~TDataSource();
    TDataSource(const TDataSource&) = delete;
    TDataSource& operator=(const TDataSource&) = delete;

    TTDEDataSet* DataSet() const { return dataSet_; }
    void SetDataSet(TTDEDataSet* dataSet);

    // From the data set: its row or state changed (field nullptr), or one field's value.
    void DataChanged(const TField* field);
    // From the data set: it closed (or is going away).
    void DataDisabled();

  private:
    friend class TMasterDataLink;
    friend class TTDEDataSet;
    TTDEDataSet* dataSet_ = nullptr;
    std::vector<TMasterDataLink*> links_;
};

class TMasterDataLink {
  public:
    TMasterDataLink() = default;
    ~TMasterDataLink();
    TMasterDataLink(const TMasterDataLink&) = delete;
    TMasterDataLink& operator=(const TMasterDataLink&) = delete;

    TDataSource* DataSource() const { return source_; }
    void SetDataSource(TDataSource* source);
    // Field names of the master, separated by ";". When the master is open every name is
    // checked ("Field '%s' not found" with the master's prefix), then the follower hears of
    // the change; on a failure of either the names stay as they were and the error passes on.
    const std::string& FieldNames() const { return fieldNames_; }
    void SetFieldNames(const std::string& names);
    // A source whose data set is open.
    bool Active() const;
    // The master's field objects in the order of FieldNames (the master must be open).
    std::vector<TField*> Fields() const;

    // Called when the master's row or one of the link's fields changes / when it closes.
    std::function<void()> OnMasterChange;
    std::function<void()> OnMasterDisable;

  private:
    friend class TDataSource;
    void Changed(const TField* field);
    void Disabled();
    static std::vector<std::string> SplitNames(const std::string& names);

    TDataSource* source_ = nullptr;
    std::string fieldNames_;
};

}  // namespace vesk
