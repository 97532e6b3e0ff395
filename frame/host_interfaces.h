// The host's two plug-in interfaces, in the host kit's member order.
#pragma once

#include "com/com.h"
#include "com/guid.h"
#include "com/owners.h"
#include "frame/idl/tessivar2_kit.h"

inline constexpr IID IID_ITessivar2Plugin = com::GuidFromText(TESSIVAR2_PLUGIN_IID);
inline constexpr IID IID_ITessivar2DataProvider = com::GuidFromText(TESSIVAR2_DATA_PROVIDER_IID);
// The kit's type library, version 1.0.
inline constexpr GUID LIBID_TESSIVAR2Sdk = com::GuidFromText(TESSIVAR2_KIT_LIBID);

// Identity and configuration. Member ids 0x60010000 upwards.
struct ITessivar2Plugin : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Configure(VARIANT_BOOL* result) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Description(BSTR* result) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_ConfigurationString(BSTR* result) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_ConfigurationString(BSTR RHS) = 0;
};

// Items, polling and values. Member ids 1 to 7.
struct ITessivar2DataProvider : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE PollData() = 0;
    virtual HRESULT STDMETHODCALLTYPE get_PollMethod(LONG* result) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_PollFreqency(LONG* result) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Count(LONG* result) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Name(LONG Index, BSTR* result) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_DisplayName(LONG Index, BSTR* result) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Value(LONG Index, VARIANT* result) = 0;
};

COM_INTERFACE_ID(ITessivar2Plugin, IID_ITessivar2Plugin);
COM_INTERFACE_ID(ITessivar2DataProvider, IID_ITessivar2DataProvider);
