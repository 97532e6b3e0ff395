// Test stand-ins for self-registration's platform: the class keys of the registry, the
// registration of type libraries and the class records, held in memory.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/class_registration.h"
#include "platform/fakes/fault_plan.h"

namespace platform::fakes {

// Keys by path, each with its values by name ("" for the default value). Paths compare as
// written, letter case included; a key exists once a value of it is set.
class FakeRegistryWriter final : public RegistryWriter {
  public:
    using Values = std::map<std::u16string, std::u16string>;

    HRESULT SetText(std::u16string_view key, std::u16string_view name,
                    std::u16string_view text) override {
        if (faults != nullptr && faults->Fail()) return faults->status;
        keys[std::u16string(key)][std::u16string(name)] = text;
        return S_OK;
    }
    std::u16string ReadText(std::u16string_view key, std::u16string_view name) override {
        const auto k = keys.find(std::u16string(key));
        if (k == keys.end()) return {};
        const auto v = k->second.find(std::u16string(name));
        return v == k->second.end() ? std::u16string() : v->second;
    }
    HRESULT DeleteTree(std::u16string_view key) override {
        if (faults != nullptr && faults->Fail()) return faults->status;
        std::erase_if(keys, [&](const auto& k) { return k.first == key || Below(k.first, key); });
        return S_OK;
    }
    void DeleteIfEmpty(std::u16string_view key) override {
        for (const auto& k : keys)
            if (Below(k.first, key)) return;
        keys.erase(std::u16string(key));
    }

    std::map<std::u16string, Values> keys;
    // When set, SetText and DeleteTree are counted there; the armed one answers its status.
    FaultPlan* faults = nullptr;

  private:
    static bool Below(std::u16string_view path, std::u16string_view key) {
        return path.size() > key.size() && path.starts_with(key) && path[key.size()] == u'\\';
    }
};

// The module paths whose type libraries are registered, in order of registration.
class FakeTypeLibraries final : public TypeLibraries {
  public:
    HRESULT Register(std::u16string_view modulePath) override {
        if (FAILED(registerResult)) return registerResult;
        registered.emplace_back(modulePath);
        return S_OK;
    }
    HRESULT Unregister(REFGUID libid, WORD major, WORD minor, LCID locale) override {
        unregistered.push_back({libid, major, minor, locale});
        if (FAILED(unregisterResult)) return unregisterResult;
        registered.clear();
        return S_OK;
    }

    struct Unregistration {
        GUID libid;
        WORD major, minor;
        LCID locale;
    };
    std::vector<std::u16string> registered;
    std::vector<Unregistration> unregistered;  // every call, in order
    HRESULT registerResult = S_OK;
    HRESULT unregisterResult = S_OK;
};

// The records by CLSID, as written.
class FakeClassRecords final : public ClassRecords {
  public:
    bool Write(const ClassRecord& record) override {
        if (!writeResult) return false;
        records[record.clsid] = record;
        return true;
    }
    bool Remove(const std::string& clsid) override {
        if (!removeResult) return false;
        records.erase(clsid);
        return true;
    }

    std::map<std::string, ClassRecord> records;
    bool writeResult = true;
    bool removeResult = true;
};

}  // namespace platform::fakes
