// The host's two plug-in interfaces, in the host kit's member order.
#pragma once

#include "com/com.h"

// {CFEC75A2-779E-4945-B33C-D3675E051E6D}
inline constexpr IID IID_ITessivar2Plugin = {
    0xCFEC75A2, 0x779E, 0x4945, {0xB3, 0x3C, 0xD3, 0x67, 0x5E, 0x05, 0x1E, 0x6D}};
// {8975C2D1-E0AF-444F-8E03-7105B1FB6A4F}
inline constexpr IID IID_ITessivar2DataProvider = {
    0x8975C2D1, 0xE0AF, 0x444F, {0x8E, 0x03, 0x71, 0x05, 0xB1, 0xFB, 0x6A, 0x4F}};
// The kit's type library {D418EE3E-1501-4F38-9879-12ADC1FCCE95}, version 1.0.
inline constexpr GUID LIBID_TESSIVAR2Sdk = {
    0xD418EE3E, 0x1501, 0x4F38, {0x98, 0x79, 0x12, 0xAD, 0xC1, 0xFC, 0xCE, 0x95}};

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
