// Test stand-in for the registry: keys and values held in memory, with the answers of the
// platform's narrow-character registry calls.
#pragma once

#include <cstring>
#include <initializer_list>
#include <map>
#include <string>
#include <string_view>

#include "platform/fakes/fault_plan.h"
#include "platform/registry.h"

namespace platform::fakes {

class FakeRegistry final : public Registry {
  public:
    struct Value {
        unsigned long type = kRegSz;
        std::string data;  // the bytes as stored, terminating NULs included
    };

    // A text value: its bytes and the terminating NUL.
    void SetString(const std::string& key, const std::string& name, std::string_view text) {
        keys[key][name] = Value{kRegSz, std::string(text) + '\0'};
    }
    // A multi-text value: each entry NUL-terminated, then the closing NUL.
    void SetMultiString(const std::string& key, const std::string& name,
                        std::initializer_list<std::string_view> entries) {
        std::string data;
        for (std::string_view e : entries) (data += e) += '\0';
        keys[key][name] = Value{kRegMultiSz, data + '\0'};
    }
    void AddKey(const std::string& key) { keys[key]; }

    long Open(std::string_view path, Key* key) override {
        ++opens;
        if (faults != nullptr && faults->Fail()) return faults->status;
        if (openResult != kRegSuccess) return openResult;
        const auto it = keys.find(std::string(path));
        if (it == keys.end()) return kRegFileNotFound;
        // Recorded whole or not at all, should the copy of the path run out of memory.
        open.emplace(nextKey, it->first);
        *key = nextKey++;
        return kRegSuccess;
    }

    long Query(Key key, std::string_view name, unsigned long* type, unsigned char* data,
               unsigned long* size) override {
        ++queries;
        lastOffered = *size;
        if (faults != nullptr && faults->Fail()) return faults->status;
        if (queryResult != kRegSuccess) return queryResult;
        const auto handle = open.find(key);
        if (handle == open.end()) return 6;  // invalid handle
        const auto& values = keys[handle->second];
        const auto it = values.find(std::string(name));
        if (it == values.end()) return kRegFileNotFound;
        if (it->second.data.size() > *size) return kRegMoreData;
        *type = it->second.type;
        std::memcpy(data, it->second.data.data(), it->second.data.size());
        *size = static_cast<unsigned long>(it->second.data.size());
        return kRegSuccess;
    }

    long Close(Key key) override {
        ++closes;
        if (faults != nullptr && faults->Fail()) {
            open.erase(key);  // the handle is gone either way
            return faults->status;
        }
        if (closeResult != kRegSuccess) return closeResult;
        return open.erase(key) == 1 ? kRegSuccess : 6;
    }

    std::map<std::string, std::map<std::string, Value>> keys;
    // Keys open now, by handle.
    std::map<Key, std::string> open;
    // Results forced on every call of that kind (0: answer from the stored keys).
    long openResult = kRegSuccess;
    long queryResult = kRegSuccess;
    long closeResult = kRegSuccess;
    int opens = 0, queries = 0, closes = 0;
    unsigned long lastOffered = 0;  // the buffer size offered to the last query
    // When set, every call is counted there; the armed one answers the plan's status.
    FaultPlan* faults = nullptr;

  private:
    Key nextKey = 0x100;
};

}  // namespace platform::fakes
