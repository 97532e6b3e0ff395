// What the live panel costs per poll: Wendrikai's poll and the Values of a 20x4 panel, the
// layout, and the LCDd updates of the rows that changed.
#include <benchmark/benchmark.h>

#include "com/owners.h"
#include "host/live/lcdproc_client.h"
#include "host/panel/panel.h"
#include "uptime/uptime.h"

namespace {

class OneCatalog final : public host::PluginCatalog {
  public:
    OneCatalog() {
        com::ComPtr<IUnknown> object;
        object.Attach(uptime::CreateUptime());
        object.As(&provider_);
    }
    ITessivar2DataProvider* Find(const std::string&, std::string* name, std::string*) override {
        *name = "Wendrikai";
        return provider_.Get();
    }

  private:
    com::ComPtr<ITessivar2DataProvider> provider_;
};

const std::vector<std::string> kLines = {"Up {Wendrikai:20}", "Days {Wendrikai:0}",
                                         "{Wendrikai:14}", "h {Wendrikai:2}"};

void BM_PanelTick(benchmark::State& state) {
    OneCatalog catalog;
    std::string error;
    auto panel = host::Panel::Create(catalog, kLines, &error);
    std::int64_t now = 0;
    for (auto _ : state) {
        panel->Tick(now);
        benchmark::DoNotOptimize(panel->Frame(20, 4));
        now += 1000;
    }
}
BENCHMARK(BM_PanelTick);

void BM_LcdprocUpdate(benchmark::State& state) {
    host::LcdprocClient client;
    client.Start();
    client.Receive("connect LCDproc 0.5.9 protocol 0.4 lcd wid 20 hgt 4 cellwid 5 cellhgt 8\n");
    std::vector<std::string> rows = {"Up 1-02:03:04       ", "Days 1              ",
                                     "26:03:04            ", "h 26                "};
    char second = '0';
    for (auto _ : state) {
        rows[0][18] = second = second == '9' ? '0' : static_cast<char>(second + 1);
        benchmark::DoNotOptimize(client.Update(rows));
    }
}
BENCHMARK(BM_LcdprocUpdate);

}  // namespace
