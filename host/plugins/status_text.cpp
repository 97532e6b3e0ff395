#include "host/plugins/status_text.h"

#include <cctype>
#include <cstdio>

#include "com/errors.h"
#include "com/owners.h"
#include "com/text.h"

namespace host {

std::string StatusCode(HRESULT hr) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "0x%08X", static_cast<unsigned>(hr));
    return buffer;
}

std::string_view StatusWords(HRESULT hr) {
    // The run-time errors the plug-ins report, then the component system's common statuses.
    static constexpr struct {
        HRESULT status;
        std::string_view words;
    } kWords[] = {
        {com::kInvalidCall, "invalid procedure call or argument"},
        {com::kOverflow, "overflow"},
        {com::kDivisionByZero, "division by zero"},
        {com::kTypeMismatch, "type mismatch"},
        {com::kInvalidUseOfNull, "invalid use of null"},
        {E_OUTOFMEMORY, "out of memory"},
        {E_POINTER, "invalid pointer"},
        {E_INVALIDARG, "invalid argument"},
        {E_FAIL, "unspecified error"},
        {E_NOINTERFACE, "no such interface supported"},
        {E_NOTIMPL, "not implemented"},
        {E_UNEXPECTED, "catastrophic failure"},
        {static_cast<HRESULT>(0x80070005), "access denied"},  // E_ACCESSDENIED
        {REGDB_E_CLASSNOTREG, "class not registered"},
        {static_cast<HRESULT>(0x800401F0),
         "CoInitialize has not been called"},                        // CO_E_NOTINITIALIZED
        {static_cast<HRESULT>(0x800401F3), "invalid class string"},  // CO_E_CLASSSTRING
        {static_cast<HRESULT>(0x80010106),
         "cannot change thread mode after it is set"},  // RPC_E_CHANGED_MODE
        {CLASS_E_CLASSNOTAVAILABLE, "class not available"},
        {CLASS_E_NOAGGREGATION, "class does not support aggregation"},
        {DISP_E_UNKNOWNINTERFACE, "unknown interface"},
        {DISP_E_MEMBERNOTFOUND, "member not found"},
        {DISP_E_PARAMNOTFOUND, "parameter not found"},
        {DISP_E_TYPEMISMATCH, "type mismatch"},
        {DISP_E_UNKNOWNNAME, "unknown name"},
        {DISP_E_NONAMEDARGS, "no named arguments"},
        {DISP_E_BADVARTYPE, "bad variable type"},
        {DISP_E_EXCEPTION, "exception occurred"},
        {DISP_E_OVERFLOW, "out of present range"},
        {DISP_E_BADINDEX, "invalid index"},
        {DISP_E_BADPARAMCOUNT, "invalid number of parameters"},
        {DISP_E_DIVBYZERO, "division by zero"},
    };
    for (const auto& entry : kWords)
        if (entry.status == hr) return entry.words;
    return {};
}

std::string StatusText(HRESULT hr) {
    std::string words;
#if defined(_WIN32)
    // The platform's own text where it has one (none for the run-time errors).
    com::LocalMemory<wchar_t> message;
    if (FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                           FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, static_cast<DWORD>(hr), 0, reinterpret_cast<LPWSTR>(message.Out()),
                       0, nullptr) != 0 &&
        message) {
        words = com::ToUtf8(std::wstring_view(message.Get()));
        while (!words.empty() &&
               (words.back() == '.' || std::isspace(static_cast<unsigned char>(words.back()))))
            words.pop_back();
    }
#endif
    if (words.empty()) words = StatusWords(hr);
    return words.empty() ? StatusCode(hr) : words + " (" + StatusCode(hr) + ")";
}

}  // namespace host
