// Every value of every 16-bit parameter of the class interfaces, early and late bound, and every
// 16-bit code of the processor's code names. Each answer must be a well-formed string of the
// caller's own (a new one per call), and the right one by a rule worked out independently.
#include <gtest/gtest.h>
#include <locale.h>

#include <cstdint>
#include <ctime>
#include <functional>
#include <map>
#include <set>
#include <string>

#include "com/errors.h"
#include "cpuinfo/w32_processor.h"
#include "tests/hardening/rigs.h"

namespace hardening {
namespace {

constexpr int kShortMin = -32768;
constexpr int kShortMax = 32767;

std::string Hex(HRESULT hr) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(hr));
    return text;
}

// Calls a member that returns a string once per 16-bit argument, keeping each answer until the
// next one is had, so that a shared or reused string would show; `expect(n)` is the answer due.
template <class Call, class Expect>
void SweepStrings(Call call, Expect expect) {
    Mismatches bad;
    BSTR previous = nullptr;
    for (int n = kShortMin; n <= kShortMax; ++n) {
        BSTR out = StaleString();
        const HRESULT hr = call(static_cast<SHORT>(n), &out);
        const std::u16string want = expect(n);
        bad.Check(hr == S_OK, [&] { return std::to_string(n) + ": status " + Hex(hr); });
        bad.Check(out != nullptr && out != StaleString(),
                  [&] { return std::to_string(n) + ": no string"; });
        if (out == nullptr || out == StaleString()) continue;
        bad.Check(out != previous, [&] { return std::to_string(n) + ": the same string again"; });
        const auto text = ReadString(out);
        bad.Check(text == want, [&] {
            return std::to_string(n) + ": \"" + com::ToUtf8(text.value_or(u"")) +
                   "\", expected \"" + com::ToUtf8(want) + "\"";
        });
        SysFreeString(previous);
        previous = out;
    }
    SysFreeString(previous);
}

// The same through IDispatch::Invoke with a VT_I2 argument.
template <class Expect>
void SweepInvoke(IDispatch* dispatch, const std::u16string& method, Expect expect) {
    const DISPID id = IdOf(dispatch, method);
    Mismatches bad;
    for (int n = kShortMin; n <= kShortMax; ++n) {
        const Invoked got = Invoke(dispatch, id, Short(static_cast<SHORT>(n)));
        const std::u16string want = expect(n);
        bad.Check(got.hr == S_OK && got.result.value == want, [&] {
            return std::to_string(n) + ": " + Hex(got.hr) + " \"" +
                   com::ToUtf8(got.result.value.value_or(u"<none>")) + "\", expected \"" +
                   com::ToUtf8(want) + "\"";
        });
    }
}

// ---- Orvantel: fnWin32Processor(SHORT) ----------------------------------------------------------

// The answers of the first data set for the listed selectors; every other selector answers the
// empty text.
const std::map<int, std::u16string>& ListedAnswers() {
    static const std::map<int, std::u16string> answers = {
        {0, u"64"},          {1, u"x86"},        {8, u"1800"},
        {10, u"32"},         {16, u"Pentium 4"}, {21, u"15"},
        {34, u"Socket 478"}, {37, u"7"},         {42, u"Model 2, Stepping 7"},
        {51, u"13.5"},       {52, u"267"},       {53, u"133"},
    };
    return answers;
}

std::u16string SelectorAnswer(int n) {
    const auto it = ListedAnswers().find(n);
    return it == ListedAnswers().end() ? u"" : it->second;
}

TEST(Win32ProcessorSweep, EverySelectorEarlyBoundAndNoReadsForUnlistedOnes) {
    CpuRig rig;
    const int queriesBefore = rig.service.queries;
    int readsOfUnlisted = 0;
    SweepStrings(
        [&](SHORT n, BSTR* out) {
            const int reads = rig.service.reads;
            const HRESULT hr = rig.cls()->fnWin32Processor(n, out);
            if (ListedAnswers().count(n) == 0) readsOfUnlisted += rig.service.reads - reads;
            return hr;
        },
        SelectorAnswer);
    EXPECT_EQ(readsOfUnlisted, 0) << "an unlisted selector reads no property";
    EXPECT_EQ(rig.service.queries - queriesBefore, 65536) << "every call queries afresh";
}

TEST(Win32ProcessorSweep, EverySelectorLateBound) {
    CpuRig rig;
    SweepInvoke(rig.dispatch(), u"fnWin32Processor", SelectorAnswer);
}

TEST(Win32ProcessorSweep, WithoutTheServiceEverySelectorFailsWithItsStatus) {
    CpuRig rig;
    const HRESULT unavailable = static_cast<HRESULT>(0x80070422);
    rig.service.failure = unavailable;
    const DISPID id = IdOf(rig.dispatch(), u"fnWin32Processor");
    Mismatches bad;
    for (int n = kShortMin; n <= kShortMax; ++n) {
        BSTR out = StaleString();
        const HRESULT hr = rig.cls()->fnWin32Processor(static_cast<SHORT>(n), &out);
        bad.Check(hr == unavailable && out == nullptr,
                  [&] { return std::to_string(n) + ": early bound " + Hex(hr); });
        if (out != StaleString()) SysFreeString(out);
        const Invoked late = Invoke(rig.dispatch(), id, Short(static_cast<SHORT>(n)));
        bad.Check(late.hr == DISP_E_EXCEPTION && late.scode == unavailable && !late.result.value,
                  [&] { return std::to_string(n) + ": late bound " + Hex(late.hr); });
    }
    EXPECT_EQ(rig.service.reads, 0);
}

// ---- the processor's code names -----------------------------------------------------------------

bool PrintableAscii(std::u16string_view text) {
    for (char16_t c : text)
        if (c < 32 || c > 126) return false;
    return !text.empty();
}

TEST(CodeNameSweep, ExactlyTheListedCodesHaveDistinctPrintableNames) {
    // Each table, how many codes have a name of their own, and some codes with their names.
    const std::tuple<const char*, std::u16string_view (*)(std::int16_t), int,
                     std::map<int, std::u16string>>
        tables[] = {
            {"architecture",
             &cpuinfo::w32_Processor::ArchitectureName,
             5,
             {{0, u"x86"}, {1, u"MIPS"}, {6, u"ia64"}, {4, u"unknown"}, {9, u"unknown"}}},
            {"family",
             &cpuinfo::w32_Processor::FamilyName,
             102,
             {{1, u"other"},
              {2, u"unknown"},
              {178, u"Pentium 4"},
              {185, u"AMD Opteron Family"},
              {500, u"Video Processor"},
              {501, u"unknown"}}},
        };
    for (const auto& [label, nameOf, expectedNamed, anchors] : tables) {
        SCOPED_TRACE(label);
        std::set<std::u16string_view> names;
        int named = 0;
        Mismatches bad;
        for (int code = kShortMin; code <= kShortMax; ++code) {
            const std::u16string_view name = nameOf(static_cast<std::int16_t>(code));
            bad.Check(PrintableAscii(name), [&] { return std::to_string(code) + ": not text"; });
            if (name == u"unknown") continue;
            ++named;
            bad.Check(code >= 0, [&] { return std::to_string(code) + ": a negative code named"; });
            bad.Check(names.insert(name).second,
                      [&] { return std::to_string(code) + ": a name given twice"; });
        }
        EXPECT_EQ(named, expectedNamed);
        for (const auto& [code, name] : anchors)
            EXPECT_EQ(nameOf(static_cast<std::int16_t>(code)), name) << code;
    }
}

// The codes reach the items through the management property, converted to 16 bits.
TEST(CodeNameSweep, EveryPropertyCodeThroughThePlugIn) {
    CpuRig rig;
    auto& properties = rig.service.instances[0];
    auto& architecture = properties.find(u"Architecture")->second;
    auto& family = properties.find(u"Family")->second;
    Mismatches bad;
    for (int code = kShortMin; code <= kShortMax; ++code) {
        architecture = LONG{code};
        family = LONG{code};
        const auto n = static_cast<std::int16_t>(code);
        const std::pair<SHORT, std::u16string_view> answers[] = {
            {1, cpuinfo::w32_Processor::ArchitectureName(n)},
            {16, cpuinfo::w32_Processor::FamilyName(n)}};
        for (const auto& answer : answers) {
            BSTR out = StaleString();
            const Outcome got = StringCall(rig.cls()->fnWin32Processor(answer.first, &out), &out);
            bad.Check(got == Outcome{S_OK, std::u16string(answer.second)}, [&] {
                return std::to_string(code) + " as selector " + std::to_string(answer.first);
            });
        }
    }
    // Codes beyond 16 bits overflow.
    for (LONG code : std::initializer_list<LONG>{32768, -32769, 0x7FFFFFFF, -0x7FFFFFFF - 1}) {
        architecture = code;
        family = code;
        for (SHORT selector : {1, 16}) {
            BSTR out = StaleString();
            EXPECT_EQ(StringCall(rig.cls()->fnWin32Processor(selector, &out), &out),
                      (Outcome{com::kOverflow, std::nullopt}))
                << code << " as selector " << selector;
        }
    }
}

// ---- Tamblorin: the calendar words -----------------------------------------------------------

// Names from the C library's own "C" locale.
std::u16string CName(const char* format, int weekday, int month) {
    static const locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
    std::tm time{};
    time.tm_wday = weekday;
    time.tm_mon = month;
    char text[32];
    const std::size_t n = strftime_l(text, sizeof text, format, &time, c);
    return com::Widen(std::string_view(text, n));
}

std::u16string Weekday(const char* format, int n) {
    return n >= 0 && n <= 6 ? CName(format, n, 0) : u"";
}
std::u16string Month(const char* format, int n) {
    return n >= 1 && n <= 12 ? CName(format, 0, n - 1) : u"";
}
// The English ordinal suffix for the days of a month; "th" for any other number.
std::u16string Suffix(int n) {
    if (n < 1 || n > 31 || (n >= 11 && n <= 13)) return u"th";
    const int last = n % 10;
    return last == 1 ? u"st" : last == 2 ? u"nd" : last == 3 ? u"rd" : u"th";
}

// The answers due from each of kCalendarLookups.
std::u16string (*const kCalendarAnswers[])(int) = {
    [](int n) { return Weekday("%a", n); }, [](int n) { return Weekday("%A", n); },
    [](int n) { return Month("%b", n); }, [](int n) { return Month("%B", n); }, &Suffix};

TEST(CalendarSweep, EveryArgumentOfEveryLookupEarlyBound) {
    DateRig rig;
    for (std::size_t k = 0; k < std::size(kCalendarLookups); ++k) {
        const auto& [name, member] = kCalendarLookups[k];
        SCOPED_TRACE(com::ToUtf8(name));
        SweepStrings(
            [&rig, member = member](SHORT n, BSTR* out) { return (rig.cls()->*member)(n, out); },
            kCalendarAnswers[k]);
    }
}

TEST(CalendarSweep, EveryArgumentOfEveryLookupLateBound) {
    DateRig rig;
    for (std::size_t k = 0; k < std::size(kCalendarLookups); ++k) {
        SCOPED_TRACE(com::ToUtf8(kCalendarLookups[k].first));
        SweepInvoke(rig.dispatch(), kCalendarLookups[k].first, kCalendarAnswers[k]);
    }
}

// ---- Check128 over every UTF-16 code unit ----------------------------------------------------

// On Linux the narrow code page is UTF-8: a character is above 127 exactly when its code is,
// whether it stands alone or after other text.
TEST(Check128Sweep, EveryCodeUnitEarlyAndLateBound) {
    CpuRig cpu;
    DateRig date;
    // Each class's Check128 through its class interface, and its late binding.
    using Check128 = std::function<HRESULT(BSTR, VARIANT_BOOL*)>;
    const std::tuple<const char*, Check128, IDispatch*> targets[] = {
        {"Orvantel", [&](BSTR s, VARIANT_BOOL* r) { return cpu.cls()->Check128(s, r); },
         cpu.dispatch()},
        {"Tamblorin", [&](BSTR s, VARIANT_BOOL* r) { return date.cls()->Check128(s, r); },
         date.dispatch()},
    };
    for (const auto& [label, check128, dispatch] : targets) {
        SCOPED_TRACE(label);
        const DISPID id = IdOf(dispatch, u"Check128");
        Mismatches bad;
        for (int c = 0; c <= 0xFFFF; ++c) {
            const std::u16string text = u"ab" + std::u16string(1, static_cast<char16_t>(c));
            com::Bstr s(text);
            VARIANT_BOOL found = 0x1234;
            const HRESULT hr = check128(s.Get(), &found);
            const VARIANT_BOOL want = c > 127 ? VARIANT_TRUE : VARIANT_FALSE;
            bad.Check(hr == S_OK && found == want, [&] { return "early " + std::to_string(c); });
            const Invoked late = Invoke(dispatch, id, Borrowed(s.Get()));
            bad.Check(late.hr == S_OK && late.result.value == (c > 127 ? u"True" : u"False"),
                      [&] { return "late " + std::to_string(c); });
            bad.Check(com::View(s.Get()) == text, [&] { return "argument changed"; });
        }
    }
}

}  // namespace
}  // namespace hardening
