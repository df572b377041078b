#pragma once
// The task tables of `dm` as the tasks page and the task dialogs use them: categories (`task`),
// tasks (`taskd`, linked to their category by `taskid`) and the file rows of a task (`taskd2`,
// linked to their task by `id`). Every call opens the tables it needs and closes them again,
// also when it throws; table errors pass on to the caller. Rows are reached by their ids, so
// two categories or tasks of one name never make an edit or a delete land on the wrong row.
// Texts longer than their columns (a long description, a long name from a server) are stored
// cut at a character boundary (shared::SetCutText); a stored local folder keeps its "/".
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "connection/rtaskupdown.h"

// The data of one task of the task tree.
struct rtask {
    std::int32_t taskid = 0;  // task.id of its category
    std::int32_t id = 0;      // taskd.id
    std::string name;
    std::string ftp;     // the name of the task's site
    std::string type;    // "Upload" or "Download"
    std::string common;  // description
};

namespace tasks {

// Whether a task of that type downloads: the type in upper case is "DOWNLOAD".
bool IsDownloadType(const std::string& type);

struct CategoryRows {
    std::int32_t id = 0;
    std::string name;
    std::vector<rtask> tasks;  // in `taskd` order
};

// Every category in `task` order with its tasks; tasks of no category are left out.
std::vector<CategoryRows> ReadTaskTree();

// The description of the category `id`; nullopt when its row is gone.
std::optional<std::string> CategoryDescription(std::int32_t id);
// Whether a category of exactly that name exists.
bool CategoryNameTaken(const std::string& name);
// Adds a category; returns its new id.
std::int32_t AddCategory(const std::string& name, const std::string& description);
// Writes the name and description of category `id`; false (nothing written) when it is gone.
bool UpdateCategory(std::int32_t id, const std::string& name, const std::string& description);
// Whether the category `id` exists.
bool CategoryExists(std::int32_t id);

// Deletes the category `id`, every task of it and their file rows; nothing else.
void DeleteCategory(std::int32_t id);
// Deletes the task `id` and its file rows.
void DeleteTask(std::int32_t id);

// The file rows of task `id` in table order.
std::vector<rtaskupdown> ReadTaskFiles(std::int32_t id);

// What the task dialog saves.
struct TaskValues {
    std::int32_t categoryId = 0;
    std::string name;
    std::string ftp;
    std::string type;
    std::string common;
    std::vector<rtaskupdown> files;  // in list order
};

// A local folder as it is stored: with a trailing "/"; an empty one is the user's home folder.
std::string StoredLocalFolder(const std::string& local);

// Adds a task with its file rows; returns its id. Nothing is written when the category is gone
// (nullopt).
std::optional<std::int32_t> AddTask(const TaskValues& values);
// Writes task `id` and replaces its file rows by `values.files`, keeping the id. Nothing is
// written when the task or the category is gone (false).
bool UpdateTask(std::int32_t id, const TaskValues& values);

}  // namespace tasks
