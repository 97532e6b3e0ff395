// Test stand-ins for the local clock and the locale's date formatter.
#pragma once

#include <cstring>
#include <map>
#include <string>

#include "platform/date_formatter.h"
#include "platform/fakes/fault_plan.h"
#include "platform/local_time.h"

namespace platform::fakes {

class FakeLocalClock final : public LocalClock {
  public:
    SystemTime Now() const override {
        ++reads;
        return now;
    }
    SystemTime now{};
    mutable int reads = 0;
};

// Answers each picture with a fixed text; records the last call.
class FakeDateFormatter final : public DateFormatter {
  public:
    int Format(const char* picture, const SystemTime& date, char* buffer,
               int capacity) const override {
        ++calls;
        lastPicture = picture;
        lastDate = date;
        lastCapacity = capacity;
        if (fail || (faults != nullptr && faults->Fail())) return 0;
        const auto found = texts.find(picture);
        const std::string text = found != texts.end() ? found->second : std::string(picture);
        const int needed = static_cast<int>(text.size()) + 1;
        if (capacity == 0) return needed;
        if (needed > capacity) return 0;
        std::memcpy(buffer, text.c_str(), text.size() + 1);
        return needed;
    }
    std::map<std::string, std::string> texts;  // picture -> text written
    bool fail = false;
    mutable int calls = 0;
    mutable std::string lastPicture;
    mutable SystemTime lastDate{};
    mutable int lastCapacity = 0;
    FaultPlan* faults = nullptr;  // when set, counts every call and fails the armed one
};

}  // namespace platform::fakes
