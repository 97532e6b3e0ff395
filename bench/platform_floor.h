// The cost of the platform reads a host cycle makes, on their own: decorators of the platform
// interfaces record every call a plug-in makes during one cycle, and the recorded calls are then
// replayed on the real platform. The replay is the floor under a cycle's cost; the rest is the
// plug-in's own work.
#pragma once

#include <benchmark/benchmark.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "com/com.h"
#include "platform/date_formatter.h"
#include "platform/local_time.h"
#include "platform/management.h"
#include "platform/processor_features.h"
#include "platform/regional_settings.h"
#include "platform/registry.h"
#include "platform/tick_clock.h"

namespace bench_support {

class CallLog {
  public:
    void Add(std::function<void()> call) {
        if (recording_) calls_.push_back(std::move(call));
    }
    void Stop() { recording_ = false; }
    void Replay() const {
        for (const auto& call : calls_) call();
    }
    std::size_t Size() const { return calls_.size(); }

  private:
    bool recording_ = true;
    std::vector<std::function<void()>> calls_;
};

class RecordingTickClock final : public platform::TickClock {
  public:
    RecordingTickClock(const TickClock& inner, CallLog& log) : inner_(inner), log_(log) {}
    std::uint64_t Milliseconds() const override {
        log_.Add([this] { benchmark::DoNotOptimize(inner_.Milliseconds()); });
        return inner_.Milliseconds();
    }

  private:
    const TickClock& inner_;
    CallLog& log_;
};

class RecordingRegionalSettings final : public platform::RegionalSettings {
  public:
    RecordingRegionalSettings(const RegionalSettings& inner, CallLog& log)
        : inner_(inner), log_(log) {}
    std::u16string TimeSeparator() const override {
        log_.Add([this] { benchmark::DoNotOptimize(inner_.TimeSeparator()); });
        return inner_.TimeSeparator();
    }
    std::u16string DecimalSeparator() const override {
        log_.Add([this] { benchmark::DoNotOptimize(inner_.DecimalSeparator()); });
        return inner_.DecimalSeparator();
    }

  private:
    const RegionalSettings& inner_;
    CallLog& log_;
};

class RecordingLocalClock final : public platform::LocalClock {
  public:
    RecordingLocalClock(const LocalClock& inner, CallLog& log) : inner_(inner), log_(log) {}
    platform::SystemTime Now() const override {
        log_.Add([this] { benchmark::DoNotOptimize(inner_.Now()); });
        return inner_.Now();
    }

  private:
    const LocalClock& inner_;
    CallLog& log_;
};

class RecordingDateFormatter final : public platform::DateFormatter {
  public:
    RecordingDateFormatter(const DateFormatter& inner, CallLog& log) : inner_(inner), log_(log) {}
    int Format(const char* picture, const platform::SystemTime& date, char* buffer,
               int capacity) const override {
        log_.Add([this, picture = std::string(picture), date, capacity] {
            std::vector<char> room(static_cast<std::size_t>(capacity) + 1);
            benchmark::DoNotOptimize(inner_.Format(picture.c_str(), date, room.data(), capacity));
        });
        return inner_.Format(picture, date, buffer, capacity);
    }

  private:
    const DateFormatter& inner_;
    CallLog& log_;
};

class RecordingProcessorFeatures final : public platform::ProcessorFeatures {
  public:
    RecordingProcessorFeatures(ProcessorFeatures& inner, CallLog& log) : inner_(inner), log_(log) {}
    HRESULT IsPresent(unsigned long feature, bool* present) override {
        log_.Add([this, feature] {
            bool answer = false;
            benchmark::DoNotOptimize(inner_.IsPresent(feature, &answer));
        });
        return inner_.IsPresent(feature, present);
    }

  private:
    ProcessorFeatures& inner_;
    CallLog& log_;
};

// Keys opened in the replay stand in for the keys opened while recording.
class RecordingRegistry final : public platform::Registry {
  public:
    RecordingRegistry(Registry& inner, CallLog& log) : inner_(inner), log_(log) {}
    long Open(std::string_view path, Key* key) override {
        const long result = inner_.Open(path, key);
        const Key recorded = result == platform::kRegSuccess ? *key : 0;
        log_.Add([this, path = std::string(path), recorded] {
            Key replayed = 0;
            benchmark::DoNotOptimize(inner_.Open(path, &replayed));
            replayed_[recorded] = replayed;
        });
        return result;
    }
    long Query(Key key, std::string_view name, unsigned long* type, unsigned char* data,
               unsigned long* size) override {
        log_.Add([this, key, name = std::string(name), offered = *size] {
            std::vector<unsigned char> room(offered + 1);
            unsigned long kind = 0, bytes = offered;
            benchmark::DoNotOptimize(
                inner_.Query(replayed_[key], name, &kind, room.data(), &bytes));
        });
        return inner_.Query(key, name, type, data, size);
    }
    long Close(Key key) override {
        log_.Add([this, key] { benchmark::DoNotOptimize(inner_.Close(replayed_[key])); });
        return inner_.Close(key);
    }

  private:
    Registry& inner_;
    CallLog& log_;
    std::map<Key, Key> replayed_;
};

// Each query's instances are kept in a slot of the replay until the same query runs again.
class RecordingManagementService final : public platform::ManagementService {
  public:
    RecordingManagementService(ManagementService& inner, CallLog& log) : inner_(inner), log_(log) {}

    HRESULT InstancesOf(std::u16string_view className,
                        std::vector<std::unique_ptr<platform::ManagementObject>>* out) override {
        const std::size_t slot = slots_.size();
        slots_.emplace_back();
        log_.Add([this, slot, className = std::u16string(className)] {
            slots_[slot].clear();
            benchmark::DoNotOptimize(inner_.InstancesOf(className, &slots_[slot]));
        });
        std::vector<std::unique_ptr<platform::ManagementObject>> instances;
        const HRESULT hr = inner_.InstancesOf(className, &instances);
        out->clear();
        for (std::size_t i = 0; i < instances.size(); ++i)
            out->push_back(std::make_unique<Object>(std::move(instances[i]), *this, slot, i));
        return hr;
    }

  private:
    class Object final : public platform::ManagementObject {
      public:
        Object(std::unique_ptr<ManagementObject> inner, RecordingManagementService& owner,
               std::size_t slot, std::size_t index)
            : inner_(std::move(inner)), owner_(owner), slot_(slot), index_(index) {}
        HRESULT Get(std::u16string_view name, VARIANT* value) override {
            owner_.log_.Add(
                [owner = &owner_, slot = slot_, index = index_, name = std::u16string(name)] {
                    auto& instances = owner->slots_[slot];
                    if (index >= instances.size()) return;
                    VARIANT v;
                    VariantInit(&v);
                    benchmark::DoNotOptimize(instances[index]->Get(name, &v));
                    VariantClear(&v);
                });
            return inner_->Get(name, value);
        }

      private:
        std::unique_ptr<ManagementObject> inner_;
        RecordingManagementService& owner_;
        std::size_t slot_, index_;
    };

    ManagementService& inner_;
    CallLog& log_;
    std::vector<std::vector<std::unique_ptr<platform::ManagementObject>>> slots_;
};

// Replays the log once per iteration and reports how many platform calls one cycle makes.
inline void RunReplay(benchmark::State& state, const CallLog& log) {
    for (auto _ : state) log.Replay();
    state.SetLabel(std::to_string(log.Size()) + " platform calls");
}

}  // namespace bench_support
