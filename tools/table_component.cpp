#include "tools/table_component.h"

#include "engine/login_prompt.h"
#include "engine/session_list.h"

namespace vesktool {

namespace {

// For the life of the object, the engine's password prompt answers with the tool's password;
// the engine then grants access or says "Access denied".
class PasswordAnswer {
  public:
    explicit PasswordAnswer(std::string password)
        : previous_(vesk::SetLoginPrompt(
              [password = std::move(password)](const std::string&, std::string& entered) {
                  entered = password;
                  return true;
              })) {}
    ~PasswordAnswer() { vesk::SetLoginPrompt(std::move(previous_)); }
    PasswordAnswer(const PasswordAnswer&) = delete;
    PasswordAnswer& operator=(const PasswordAnswer&) = delete;

  private:
    vesk::TLoginPrompt previous_;
};

}  // namespace

std::unique_ptr<vesk::TVeskTable> OpenTableComponent(const std::string& file,
                                                     const std::string& table,
                                                     const std::string& password) {
    vesk::VeskDB_Initialization();
    const PasswordAnswer answer(password);
    auto component = std::make_unique<vesk::TVeskTable>("T" + table);
    component->SetDatabaseName(file);
    component->SetTableName(table);
    component->Open();
    return component;
}

}  // namespace vesktool
