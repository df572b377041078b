#pragma once
// One user action's use of a table: opens it on construction and closes it on destruction, so
// that no table stays open between actions, also when the action fails.
#include "engine/dataset/vesk_table.h"

class OpenTable {
  public:
    // Throws what opening the table throws (the table is then closed).
    explicit OpenTable(vesk::TVeskTable& table) : table_(table) { table_.Open(); }
    ~OpenTable() {
        try {
            table_.Close();
        } catch (...) {
            // Closing never posts; an error here leaves nothing to undo.
        }
    }
    OpenTable(const OpenTable&) = delete;
    OpenTable& operator=(const OpenTable&) = delete;

    vesk::TVeskTable& operator*() const { return table_; }
    vesk::TVeskTable* operator->() const { return &table_; }

  private:
    vesk::TVeskTable& table_;
};
