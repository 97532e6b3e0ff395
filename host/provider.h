// One plug-in's data provider as the host uses it: the item list read once in the host's order,
// the poll settings, the poll, the values as text, and the failures as one-line messages.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "com/owners.h"
#include "frame/host_interfaces.h"

namespace host {

class Plugin;

class Provider {
  public:
    // `provider` is the data provider of the plug-in `name`; `plugin`, when given, answers
    // Description. Both are held for the life of this object.
    Provider(std::string name, ITessivar2DataProvider* provider,
             ITessivar2Plugin* plugin = nullptr);
    explicit Provider(const Plugin& plugin);

    const std::string& name() const { return name_; }
    ITessivar2DataProvider* raw() const { return provider_.Get(); }

    struct Item {
        LONG index;
        std::u16string name;
        std::u16string displayName;
    };
    // Reads the item list: Count, then Name (unless `withNames` is false) and DisplayName of
    // every index. On failure returns false and sets `error` to one line.
    bool ReadItems(std::string* error, bool withNames = true);
    const std::vector<Item>& items() const { return items_; }

    HRESULT Count(LONG* count) const { return provider_->get_Count(count); }
    HRESULT PollFrequency(LONG* milliseconds) const;
    HRESULT PollMethod(LONG* method) const { return provider_->get_PollMethod(method); }
    HRESULT Description(std::u16string* text) const;
    HRESULT Poll() const { return provider_->PollData(); }

    // The value of item `index` as it comes.
    HRESULT Value(LONG index, com::Variant* value) const;
    // The value of item `index` as text (see Text).
    HRESULT ValueText(LONG index, std::u16string* text) const;

    // The text of a value: a string as it is, nothing for an empty or null value, any other type
    // converted with VariantChangeType and `flags`; returns the status of the conversion.
    static HRESULT Text(const VARIANT& value, std::u16string* text, USHORT flags = 0);
    // As Text, with no exception for empty and null values.
    static HRESULT Convert(const VARIANT& value, std::u16string* text, USHORT flags = 0);

    // "Name: Count failed with 0x80004005"
    std::string Failure(std::string_view member, HRESULT hr) const;
    // "Name:3: Value failed with 0x80004005"
    std::string ValueFailure(LONG index, HRESULT hr) const;

  private:
    std::string name_;
    com::ComPtr<ITessivar2DataProvider> provider_;
    com::ComPtr<ITessivar2Plugin> plugin_;
    std::vector<Item> items_;
};

}  // namespace host
