// The firmware version entries: cpuinfo::VersionTokens and JoinTokens over arbitrary texts, and
// the poll step that reads them from a registry multi-text of arbitrary bytes and type.
#include "cpuinfo/cpu_text.h"
#include "cpuinfo/probes.h"
#include "tests/fuzz/fuzz_plugins.h"

namespace {

void CheckTokens(std::u16string_view text, const std::vector<std::u16string>& tokens) {
    // The entries are the text's NUL-terminated pieces up to the empty one, in order; only a
    // leading NUL makes an empty first entry.
    std::u16string rebuilt;
    for (const auto& token : tokens) {
        FUZZ_CHECK(!token.empty() || rebuilt.empty());
        FUZZ_CHECK(token.find(u'\0') == std::u16string::npos);
        rebuilt += token;
        rebuilt += u'\0';
    }
    FUZZ_CHECK(text.starts_with(rebuilt));
    const std::u16string_view rest = text.substr(rebuilt.size());
    // What follows is a NUL that closes the list, or characters without a NUL after them, or
    // nothing.
    FUZZ_CHECK(rest.empty() || rest.front() == u'\0' || rest.find(u'\0') == rest.npos);

    std::u16string joined;
    for (const auto& token : tokens) (joined += token) += u' ';
    FUZZ_CHECK(cpuinfo::JoinTokens(tokens) == joined);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const std::u16string text = fuzz::Text(in, 512);
    CheckTokens(text, cpuinfo::VersionTokens(text));

    // The same through the registry: the value's bytes as stored, of any type.
    fuzz::Fakes fakes;
    fakes.LoadRegistry(fuzz::TypicalMachine());
    const unsigned long type =
        in.ConsumeBool() ? platform::kRegMultiSz : in.ConsumeIntegralInRange<unsigned long>(0, 11);
    fakes.registry.keys[fuzz::kFirmwareKey]["SystemBiosVersion"] = {
        type, in.ConsumeRemainingBytesAsString()};

    std::u16string read;
    FUZZ_CHECK(cpuinfo::ReadRegString(fakes.registry, u"HARDWARE\\DESCRIPTION\\System",
                                      u"SystemBiosVersion", &read) == S_OK);
    FUZZ_CHECK(fakes.registry.open.empty());  // every key opened is closed again
    const std::vector<std::u16string> tokens = cpuinfo::VersionTokens(read);
    CheckTokens(read, tokens);

    fuzz::PluginRefs refs = fuzz::MakePlugin(fuzz::Plugin::kOrvantel, fakes);
    refs.provider->PollData();
    FUZZ_CHECK(fakes.registry.open.empty());
    auto value = [&](LONG item) { return fuzz::ItemText(refs.provider.Get(), item); };
    // Item 2 holds every entry; items 3 to 8 the first six, as far as there are entries.
    FUZZ_CHECK(value(2) == cpuinfo::JoinTokens(tokens));
    for (std::size_t k = 0; k < 6; ++k)
        FUZZ_CHECK(value(static_cast<LONG>(3 + k)) == (k < tokens.size() ? tokens[k] : u""));
    fuzz::ReleasePlugin(refs);
    return 0;
}
