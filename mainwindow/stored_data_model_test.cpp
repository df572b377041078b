// The shipped database files hold the thirteen tables with the columns the program reads and
// writes by name, of the kinds it reads them as; the data module's components reach them.
#include <map>

#include "mainwindow/main_form_test_support.h"

namespace mainwindow::testing {
namespace {

using StoredDataModel = MainFormTest;

using Columns = std::map<std::string, vesk::TFieldType>;

constexpr vesk::TFieldType T = vesk::ftString;
constexpr vesk::TFieldType I = vesk::ftInteger;
constexpr vesk::TFieldType B = vesk::ftBoolean;
constexpr vesk::TFieldType K = vesk::ftAutoInc;

Columns ColumnsOf(vesk::TVeskTable& component) {
    OpenTable table(component);
    Columns columns;
    for (int i = 0; i < table->Fields().Count(); ++i) {
        const vesk::TField& field = table->Fields().Fields(i);
        columns[field.FieldName()] = field.DataType();
    }
    return columns;
}

TEST_F(StoredDataModel, EveryTableHasTheColumnsOfItsKinds) {
    dm->Tftpb->SetDatabaseName(folder_ + "FTPBookmark.dat");
    dm->Tftpb->SetTableName("bookmark");
    struct Case {
        vesk::TVeskTable* component;
        Columns columns;
    };
    const Case cases[] = {
        {dm->Tftpsite.get(),
         {{"id", K},       {"name", T},        {"address", T}, {"port", I},        {"username", T},
          {"password", T}, {"comment", T},     {"timeout", I}, {"nor", I},         {"rd", I},
          {"vp", B},       {"defaultpath", T}, {"pasv", B},    {"autorefresh", B}, {"cnc", B},
          {"maxc", I},     {"proxy", T},       {"socks", T},   {"cdate", T},       {"zdate", T}}},
        {dm->Toption.get(),
         {{"eanti", B},
          {"interval", I},
          {"transfermode", T},
          {"transferc", T},
          {"recvb", I},
          {"sendb", I},
          {"appe", B}}},
        {dm->Tproxy.get(),
         {{"name", T},
          {"type", I},
          {"typename", T},
          {"server", T},
          {"port", I},
          {"login", B},
          {"username", T},
          {"password", T}}},
        {dm->Tsocks.get(),
         {{"name", T},
          {"sv", I},
          {"svname", T},
          {"host", T},
          {"port", I},
          {"login", B},
          {"user", T},
          {"pass", T}}},
        {dm->Tantiidle.get(), {{"command", T}, {"tf", B}}},
        {dm->Tascext.get(), {{"ext", T}, {"tf", B}}},
        {dm->Thm.get(), {{"key", K}, {"id", I}, {"date", T}, {"type", T}}},
        {dm->Thd.get(),
         {{"key", K},
          {"id", I},
          {"type", T},
          {"lofile", T},
          {"ftpfile", T},
          {"date", T},
          {"date2", T},
          {"ftppath", T},
          {"lopath", T},
          {"usetime", T},
          {"speed", T},
          {"isfolder", B}}},
        {dm->Ttask.get(), {{"id", K}, {"name", T}, {"desc", T}}},
        {dm->Ttaskd.get(),
         {{"id", K}, {"taskid", I}, {"name", T}, {"ftp", T}, {"type", T}, {"common", T}}},
        {dm->Ttaskd2.get(), {{"id", I}, {"isfolder", B}, {"files", T}, {"local", T}, {"ftp", T}}},
        {dm->Tquick.get(), {{"ftp", T}, {"port", I}, {"user", T}, {"pass", T}, {"pasv", B}}},
        {dm->Tftpb.get(), {{"ftpid", I}, {"path", T}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.component->TableName());
        EXPECT_EQ(ColumnsOf(*c.component), c.columns);
    }
}

// The task dialog reads a new task's engine key right after posting an insert: the table's
// order is a primary index on id, which makes the new row current.
TEST_F(StoredDataModel, NewTaskKeyIsReadableRightAfterAnInsert) {
    OpenTable tasks(*dm->Ttaskd);
    std::vector<std::int32_t> keys;
    for (const char* name : {"first", "second"}) {
        tasks->Insert();
        tasks->FieldByName("name").SetAsString(name);
        tasks->Post();
        EXPECT_EQ(tasks->FieldByName("name").AsString(), name);
        keys.push_back(tasks->FieldByName("id").AsInteger());
    }
    EXPECT_GT(keys[0], 0);
    EXPECT_GT(keys[1], keys[0]);
}

}  // namespace
}  // namespace mainwindow::testing
