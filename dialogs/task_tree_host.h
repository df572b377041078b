#pragma once
// What the task dialogs call back in the main window's task tree: the category dialog adds a
// node for a new category or renames the edited one, the task dialog rebuilds the tree after
// a save, and both task-dialog callers take the categories from the tree's top level. The
// main window's task tree implements it, so that no dialog includes the main window. Every call
// comes from the user-interface thread.
#include <cstdint>
#include <string>
#include <vector>

struct TTaskCategory {
    std::int32_t id = 0;  // task.id
    std::string name;
    bool operator==(const TTaskCategory&) const = default;
};

class TTaskTreeHost {
  public:
    virtual ~TTaskTreeHost() = default;

    // Adds a category node at the end of the tree's top level, not selected.
    virtual void AddCategoryNode(const TTaskCategory& category) = 0;
    // Gives the node of category `id` the text `name` and shows the selected node's
    // description again.
    virtual void RenameCategoryNode(std::int32_t id, const std::string& name) = 0;
    // Rebuilds the tree from the tables. Throws the tables' errors.
    virtual void LoadTaskTree() = 0;
    // The categories of the tree's top level, in tree order.
    virtual std::vector<TTaskCategory> TreeCategories() const = 0;

  protected:
    TTaskTreeHost() = default;
    TTaskTreeHost(const TTaskTreeHost&) = default;
    TTaskTreeHost& operator=(const TTaskTreeHost&) = default;
};
