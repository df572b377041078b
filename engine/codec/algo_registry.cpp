#include "engine/codec/algo_registry.h"

#include <memory>
#include <vector>

#include "platform/os/collation.h"

namespace vesk {
namespace {

template <class Algo>
class Registry {
  public:
    void Register(const TAlgoClass<Algo>& algoClass, const std::string& name) {
        if (!entries_)
            entries_ = std::make_unique<std::vector<Entry>>();
        for (Entry& entry : *entries_) {
            if (entry.algoClass == &algoClass) {
                entry.name = name;
                return;
            }
        }
        entries_->push_back(Entry{name, &algoClass});
    }

    int Find(const std::string& name) const {
        if (!entries_)
            return -1;
        for (size_t i = 0; i < entries_->size(); ++i)
            if (os::CompareAnsiText((*entries_)[i].name, name, true) == 0)
                return static_cast<int>(i);
        return -1;
    }

    const TAlgoClass<Algo>* At(int index) const {
        return InRange(index) ? (*entries_)[static_cast<size_t>(index)].algoClass : nullptr;
    }
    std::string NameAt(int index) const {
        return InRange(index) ? (*entries_)[static_cast<size_t>(index)].name : std::string();
    }
    int Count() const { return entries_ ? static_cast<int>(entries_->size()) : 0; }
    void Destroy() { entries_.reset(); }

  private:
    struct Entry {
        std::string name;
        const TAlgoClass<Algo>* algoClass;
    };
    bool InRange(int index) const {
        return entries_ && index >= 0 && static_cast<size_t>(index) < entries_->size();
    }
    std::unique_ptr<std::vector<Entry>> entries_;
};

Registry<TCompressAlgo>& Compressors() {
    static Registry<TCompressAlgo> registry;
    return registry;
}

Registry<TEncryptAlgo>& Ciphers() {
    static Registry<TEncryptAlgo> registry;
    return registry;
}

}  // namespace

void RegisterCompressClass(const TCompressAlgoClass& AClass, const std::string& AName) {
    Compressors().Register(AClass, AName);
}
void RegisterEncryptClass(const TEncryptAlgoClass& AClass, const std::string& AName) {
    Ciphers().Register(AClass, AName);
}
int FindCompressClass(const std::string& Name) {
    return Compressors().Find(Name);
}
int FindEncryptClass(const std::string& Name) {
    return Ciphers().Find(Name);
}
const TCompressAlgoClass* CompressClassAt(int Index) {
    return Compressors().At(Index);
}
const TEncryptAlgoClass* EncryptClassAt(int Index) {
    return Ciphers().At(Index);
}
std::string CompressClassName(int Index) {
    return Compressors().NameAt(Index);
}
std::string EncryptClassName(int Index) {
    return Ciphers().NameAt(Index);
}
int CompressClassCount() {
    return Compressors().Count();
}
int EncryptClassCount() {
    return Ciphers().Count();
}

void UnregisterAllAlgorithms() {
    Compressors().Destroy();
    Ciphers().Destroy();
}

}  // namespace vesk
