#include "dialogs/task_tables.h"

#include <unordered_map>
#include <unordered_set>

#include "platform/os/collation.h"
#include "platform/os/mount_points.h"
#include "platform/os/utf8.h"
#include "shared/open_table.h"
#include "shared/tdm.h"
#include "shared/text_fields.h"

namespace tasks {

namespace {

// Deletes every row of the open `table` whose integer `field` satisfies `doomed`; a delete
// leaves the table on the row that followed, so the walk moves on only past rows that stay.
template <class Predicate>
void DeleteRowsWhere(vesk::TVeskTable& table, const char* field, Predicate doomed) {
    table.First();
    while (!table.Eof()) {
        if (doomed(table.FieldByName(field).AsInteger()))
            table.Delete();
        else
            table.Next();
    }
}

// Deletes every row of the open `table` whose `field` equals `id`.
void DeleteRowsOf(vesk::TVeskTable& table, const char* field, std::int32_t id) {
    DeleteRowsWhere(table, field, [id](std::int32_t value) { return value == id; });
}

// Texts of a task's rows come from a multi-line edit or a server's listing, so they are cut
// to their columns rather than refused.
void SetText(vesk::TVeskTable& table, const char* field, const std::string& value) {
    shared::SetCutText(table.FieldByName(field), value);
}

void WriteTask(vesk::TVeskTable& table, const TaskValues& values) {
    table.FieldByName("taskid").SetAsInteger(values.categoryId);
    SetText(table, "name", values.name);
    SetText(table, "ftp", values.ftp);
    SetText(table, "type", values.type);
    SetText(table, "common", values.common);
    table.Post();
}

// A stored local folder ends in "/" whatever its length, so a cut one still names a folder.
void SetLocalFolder(vesk::TField& field, const std::string& local) {
    std::string folder = StoredLocalFolder(local);
    const std::int32_t size = field.Size();
    if (size > 1 && folder.size() > static_cast<std::size_t>(size))
        folder = std::string(os::CutUtf8(folder, static_cast<std::size_t>(size) - 1)) + '/';
    field.SetAsString(folder);
}

void AppendFiles(std::int32_t id, const std::vector<rtaskupdown>& files) {
    OpenTable table(*dm->Ttaskd2);
    for (const rtaskupdown& file : files) {
        table->Append();
        table->FieldByName("id").SetAsInteger(id);
        SetText(*table, "files", file.files);
        SetLocalFolder(table->FieldByName("local"), file.local);
        SetText(*table, "ftp", file.ftp);
        table->FieldByName("isfolder").SetAsBoolean(file.isfolder);
        table->Post();
    }
}

}  // namespace

bool IsDownloadType(const std::string& type) {
    return os::AsciiUpperText(type) == "DOWNLOAD";
}

std::vector<CategoryRows> ReadTaskTree() {
    std::vector<CategoryRows> categories;
    // Where each category's id sits in `categories`; ids are the table's unique key.
    std::unordered_map<std::int32_t, std::size_t> positions;
    {
        OpenTable task(*dm->Ttask);
        for (task->First(); !task->Eof(); task->Next()) {
            CategoryRows category;
            category.id = task->FieldByName("id").AsInteger();
            category.name = task->FieldByName("name").AsString();
            positions.emplace(category.id, categories.size());
            categories.push_back(std::move(category));
        }
    }
    // One walk over the tasks, each put under its category, so `taskd` is read once however
    // many categories there are.
    OpenTable taskd(*dm->Ttaskd);
    for (taskd->First(); !taskd->Eof(); taskd->Next()) {
        const auto position = positions.find(taskd->FieldByName("taskid").AsInteger());
        if (position == positions.end())
            continue;
        CategoryRows& category = categories[position->second];
        rtask record;
        record.taskid = category.id;
        record.id = taskd->FieldByName("id").AsInteger();
        record.name = taskd->FieldByName("name").AsString();
        record.ftp = taskd->FieldByName("ftp").AsString();
        record.type = taskd->FieldByName("type").AsString();
        record.common = taskd->FieldByName("common").AsString();
        category.tasks.push_back(std::move(record));
    }
    return categories;
}

std::optional<std::string> CategoryDescription(std::int32_t id) {
    OpenTable table(*dm->Ttask);
    if (!table->Locate("id", id))
        return std::nullopt;
    return table->FieldByName("desc").AsString();
}

bool CategoryNameTaken(const std::string& name) {
    OpenTable table(*dm->Ttask);
    return table->Locate("name", name);
}

bool CategoryExists(std::int32_t id) {
    OpenTable table(*dm->Ttask);
    return table->Locate("id", id);
}

std::int32_t AddCategory(const std::string& name, const std::string& description) {
    OpenTable table(*dm->Ttask);
    table->Append();
    SetText(*table, "name", name);
    SetText(*table, "desc", description);
    table->Post();
    return table->FieldByName("id").AsInteger();
}

bool UpdateCategory(std::int32_t id, const std::string& name, const std::string& description) {
    OpenTable table(*dm->Ttask);
    if (!table->Locate("id", id))
        return false;
    table->Edit();
    SetText(*table, "name", name);
    SetText(*table, "desc", description);
    table->Post();
    return true;
}

void DeleteCategory(std::int32_t id) {
    {
        OpenTable table(*dm->Ttask);
        if (table->Locate("id", id))
            table->Delete();
    }
    std::unordered_set<std::int32_t> taskIds;
    {
        OpenTable table(*dm->Ttaskd);
        for (table->First(); !table->Eof(); table->Next()) {
            if (table->FieldByName("taskid").AsInteger() == id)
                taskIds.insert(table->FieldByName("id").AsInteger());
        }
    }
    if (taskIds.empty())
        return;
    // Each table is walked once, whatever the number of tasks: file rows first, as DeleteTask
    // does, so a failure never leaves file rows whose task is gone.
    {
        OpenTable table(*dm->Ttaskd2);
        DeleteRowsWhere(*table, "id",
                        [&taskIds](std::int32_t value) { return taskIds.contains(value); });
    }
    OpenTable table(*dm->Ttaskd);
    DeleteRowsOf(*table, "taskid", id);
}

void DeleteTask(std::int32_t id) {
    {
        OpenTable table(*dm->Ttaskd2);
        DeleteRowsOf(*table, "id", id);
    }
    OpenTable table(*dm->Ttaskd);
    if (table->Locate("id", id))
        table->Delete();
}

std::vector<rtaskupdown> ReadTaskFiles(std::int32_t id) {
    std::vector<rtaskupdown> files;
    OpenTable table(*dm->Ttaskd2);
    for (table->First(); !table->Eof(); table->Next()) {
        if (table->FieldByName("id").AsInteger() != id)
            continue;
        rtaskupdown file;
        file.isfolder = table->FieldByName("isfolder").AsBoolean();
        file.files = table->FieldByName("files").AsString();
        file.local = table->FieldByName("local").AsString();
        file.ftp = table->FieldByName("ftp").AsString();
        files.push_back(std::move(file));
    }
    return files;
}

std::string StoredLocalFolder(const std::string& local) {
    // A folder cleared in the paths dialog still runs: the home folder is where downloads of
    // the desktop land.
    std::string folder = local.empty() ? os::HomeFolder() : local;
    if (folder.back() != '/')
        folder += '/';
    return folder;
}

std::optional<std::int32_t> AddTask(const TaskValues& values) {
    if (!CategoryExists(values.categoryId))
        return std::nullopt;
    std::int32_t id = 0;
    {
        // The table's order is its primary index on id, so the new row is current after the
        // post and its key can be read.
        OpenTable table(*dm->Ttaskd);
        table->Insert();
        WriteTask(*table, values);
        id = table->FieldByName("id").AsInteger();
    }
    AppendFiles(id, values.files);
    return id;
}

bool UpdateTask(std::int32_t id, const TaskValues& values) {
    if (!CategoryExists(values.categoryId))
        return false;
    {
        OpenTable table(*dm->Ttaskd);
        if (!table->Locate("id", id))
            return false;
        table->Edit();
        WriteTask(*table, values);
    }
    {
        OpenTable table(*dm->Ttaskd2);
        DeleteRowsOf(*table, "id", id);
    }
    AppendFiles(id, values.files);
    return true;
}

}  // namespace tasks
