#include "host/plugins/provider.h"

#include "host/plugins/plugin.h"

namespace host {

HRESULT ConvertToText(const VARIANT& value, std::u16string* text, USHORT flags) {
    text->clear();
    if (value.vt == VT_BSTR) {
        *text = com::View(value.bstrVal);
        return S_OK;
    }
    com::Variant converted;
    // The platform's declaration takes the source without const; it is only read.
    const HRESULT hr = VariantChangeType(&converted, const_cast<VARIANT*>(&value), flags, VT_BSTR);
    if (SUCCEEDED(hr)) *text = com::View(converted.bstrVal);
    return hr;
}

HRESULT ShownText(const VARIANT& value, std::u16string* text) {
    if (value.vt == VT_EMPTY || value.vt == VT_NULL) {
        text->clear();
        return S_OK;
    }
    return ConvertToText(value, text);
}

Provider::Provider(std::string name, ITessivar2DataProvider* provider, ITessivar2Plugin* plugin)
    : name_(std::move(name)),
      provider_(com::ComPtr<ITessivar2DataProvider>::Share(provider)),
      plugin_(com::ComPtr<ITessivar2Plugin>::Share(plugin)) {}

Provider::Provider(const Plugin& plugin)
    : Provider(plugin.name(), plugin.provider(), plugin.plugin()) {}

bool Provider::ReadItems(MemberFailure* failure, bool withNames) {
    items_.clear();
    LONG count = 0;
    HRESULT hr = Count(&count);
    if (FAILED(hr)) return *failure = Failure("Count", hr), false;
    for (LONG i = 0; i < count; ++i) {
        Item item{i, {}, {}};
        com::Bstr text;
        if (withNames) {
            if (FAILED(hr = provider_->get_Name(i, text.Out())))
                return *failure = Failure("Name", hr), false;
            item.name = text.View();
        }
        if (FAILED(hr = provider_->get_DisplayName(i, text.Out())))
            return *failure = Failure("DisplayName", hr), false;
        item.displayName = text.View();
        items_.push_back(std::move(item));
    }
    return true;
}

HRESULT Provider::PollFrequency(LONG* milliseconds) const {
    return provider_->get_PollFreqency(milliseconds);
}

HRESULT Provider::Description(std::u16string* text) const {
    com::Bstr description;
    const HRESULT hr = plugin_ ? plugin_->get_Description(description.Out()) : E_NOINTERFACE;
    *text = description.View();
    return hr;
}

HRESULT Provider::Value(LONG index, com::Variant* value) const {
    return provider_->get_Value(index, value->Out());
}

HRESULT Provider::ValueText(LONG index, std::u16string* text) const {
    com::Variant value;
    const HRESULT hr = Value(index, &value);
    if (FAILED(hr)) return hr;
    return ShownText(value, text);
}

MemberFailure Provider::Failure(std::string_view member, HRESULT hr) const {
    return {name_, std::string(member), std::nullopt, hr};
}

MemberFailure Provider::ValueFailure(LONG item, HRESULT hr) const {
    return {name_, "Value", item, hr};
}

}  // namespace host
