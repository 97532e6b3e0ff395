// In-process stand-ins for plug-ins: a data provider with chosen items, values and failures that
// records every call, a catalog that hands them out by name, and an object with one method that
// answers Invoke as told.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "com/owners.h"
#include "com/text.h"
#include "host/plugins/catalog.h"

namespace fakes {

// IUnknown of a fake that lives on the stack: its references are counted, it is never freed.
template <class Interface>
class FakeUnknown : public Interface {
  public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        const bool known = iid == IID_IUnknown || iid == com::IidOf<Interface>();
        *out = known ? static_cast<Interface*>(this) : nullptr;
        return known ? (AddRef(), S_OK) : E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs_; }

  private:
    ULONG refs_ = 1;
};

class FakeProvider final : public FakeUnknown<ITessivar2DataProvider> {
  public:
    FakeProvider(std::string plugin, LONG period, std::vector<std::u16string> labels)
        : plugin_(std::move(plugin)), period_(period), labels_(std::move(labels)) {}

    // The text of item `index` after `polls` polls; by default "index#polls".
    std::function<std::u16string(LONG index, int polls)> value = [](LONG index, int polls) {
        return com::Widen(std::to_string(index) + "#" + std::to_string(polls));
    };
    std::map<LONG, HRESULT> failingValues;
    HRESULT pollResult = S_OK;
    LONG pollMethod = 0;

    int polls = 0;
    std::vector<std::string> calls;  // "PollData", "Value 3", "Count", ...

    HRESULT STDMETHODCALLTYPE PollData() override {
        calls.push_back("PollData");
        ++polls;
        return pollResult;
    }
    HRESULT STDMETHODCALLTYPE get_PollMethod(LONG* result) override {
        calls.push_back("PollMethod");
        *result = pollMethod;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_PollFreqency(LONG* result) override {
        calls.push_back("PollFreqency");
        *result = period_;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_Count(LONG* result) override {
        calls.push_back("Count");
        *result = static_cast<LONG>(labels_.size());
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_Name(LONG index, BSTR* result) override {
        calls.push_back("Name " + std::to_string(index));
        return com::ReturnString(DisplayName(index), result);
    }
    HRESULT STDMETHODCALLTYPE get_DisplayName(LONG index, BSTR* result) override {
        calls.push_back("DisplayName " + std::to_string(index));
        return com::ReturnString(DisplayName(index), result);
    }
    HRESULT STDMETHODCALLTYPE get_Value(LONG index, VARIANT* result) override {
        calls.push_back("Value " + std::to_string(index));
        VariantInit(result);
        if (auto it = failingValues.find(index); it != failingValues.end()) return it->second;
        if (index < 0 || index >= static_cast<LONG>(labels_.size())) return S_OK;
        return com::ReturnText(value(index, polls), result);
    }

    const std::string& plugin() const { return plugin_; }

  private:
    std::u16string DisplayName(LONG index) const {
        if (index < 0 || index >= static_cast<LONG>(labels_.size())) return u"";
        return com::Widen(plugin_) + u"\\" + labels_[static_cast<std::size_t>(index)];
    }

    std::string plugin_;
    LONG period_;
    std::vector<std::u16string> labels_;
};

// Labels "Group\item k" for k = 0 .. count-1.
inline std::vector<std::u16string> Labels(int count, const std::u16string& group = u"Group") {
    std::vector<std::u16string> labels;
    for (int k = 0; k < count; ++k)
        labels.push_back(group + u"\\item " + com::Widen(std::to_string(k)));
    return labels;
}

class FakeCatalog final : public host::PluginCatalog {
  public:
    void Add(FakeProvider* provider) { Add(provider->plugin(), provider); }
    // Any provider, a plug-in's object on fakes among them, under the name `plugin`.
    void Add(const std::string& plugin, ITessivar2DataProvider* provider) {
        providers_[Upper(plugin)] = {plugin, com::ComPtr<ITessivar2DataProvider>::Share(provider)};
    }
    ITessivar2DataProvider* Find(const std::string& named, std::string* name,
                                 std::string* error) override {
        auto it = providers_.find(Upper(named));
        if (it == providers_.end()) {
            *error = "unknown plug-in '" + named + "'";
            return nullptr;
        }
        *name = it->second.first;
        return it->second.second.Get();
    }

  private:
    static std::string Upper(std::string s) {
        for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        return s;
    }
    std::map<std::string, std::pair<std::string, com::ComPtr<ITessivar2DataProvider>>> providers_;
};

// An object with one method, "Twice", that answers Invoke with `status` and `argErr`, and on
// success returns its arguments, last first, joined.
class FakeDispatch final : public FakeUnknown<IDispatch> {
  public:
    HRESULT status = S_OK;
    UINT argErr = 0;
    SCODE exception = S_OK;  // the scode of a DISP_E_EXCEPTION

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT, LCID,
                                            DISPID* ids) override {
        const bool twice =
            std::u16string_view(reinterpret_cast<const char16_t*>(names[0])) == u"Twice";
        *ids = twice ? 1 : DISPID_UNKNOWN;
        return twice ? S_OK : DISP_E_UNKNOWNNAME;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO* excep, UINT* err) override {
        *err = argErr;
        if (status == DISP_E_EXCEPTION) excep->scode = exception;
        std::u16string joined;
        for (UINT k = 0; k < params->cArgs; ++k) joined += com::View(params->rgvarg[k].bstrVal);
        return FAILED(status) ? status : com::ReturnText(joined, result);
    }
};

// The three plug-ins of the default panel, faked, and a catalog that hands them out.
struct FakePlugins {
    explicit FakePlugins(std::vector<std::u16string> uptimeLabels = Labels(26))
        : uptime{"Wendrikai", 1000, std::move(uptimeLabels)} {
        for (FakeProvider* provider : {&cpu, &date, &uptime}) catalog.Add(provider);
    }
    void ClearCalls() {
        for (FakeProvider* provider : {&cpu, &date, &uptime}) provider->calls.clear();
    }

    FakeProvider cpu{"Orvantel", 1000, Labels(56)};
    FakeProvider date{"Tamblorin", 10000, Labels(29)};
    FakeProvider uptime;
    FakeCatalog catalog;
};

}  // namespace fakes
