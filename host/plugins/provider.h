// One plug-in's data provider as the host uses it: the item list read once in the host's order,
// the poll settings, the poll, and the values as text; a failing member as a MemberFailure.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "com/owners.h"
#include "frame/host_interfaces.h"
#include "host/plugins/member_failure.h"

namespace host {

class Plugin;

// A value as text: a string as it is; any other type converted to a string with
// VariantChangeType and `flags` (an empty value gives nothing, a null one fails, as there).
HRESULT ConvertToText(const VARIANT& value, std::u16string* text, USHORT flags = 0);

// A value as the panel and `values` show it: nothing for an empty or a null value, else as
// ConvertToText.
HRESULT ShownText(const VARIANT& value, std::u16string* text);

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
    // every index. On failure returns false and sets `failure`.
    bool ReadItems(MemberFailure* failure, bool withNames = true);
    const std::vector<Item>& items() const { return items_; }

    HRESULT Count(LONG* count) const { return provider_->get_Count(count); }
    HRESULT PollFrequency(LONG* milliseconds) const;
    HRESULT PollMethod(LONG* method) const { return provider_->get_PollMethod(method); }
    HRESULT Description(std::u16string* text) const;
    HRESULT Poll() const { return provider_->PollData(); }

    // The value of item `index` as it comes.
    HRESULT Value(LONG index, com::Variant* value) const;
    // The value of item `index` as ShownText gives it.
    HRESULT ValueText(LONG index, std::u16string* text) const;

    // The failure of `member` (of item `item`, when given) with `hr`.
    MemberFailure Failure(std::string_view member, HRESULT hr) const;
    MemberFailure ValueFailure(LONG item, HRESULT hr) const;

  private:
    std::string name_;
    com::ComPtr<ITessivar2DataProvider> provider_;
    com::ComPtr<ITessivar2Plugin> plugin_;
    std::vector<Item> items_;
};

}  // namespace host
