// Test stand-in for the management service: instances described by their properties.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "com/text.h"
#include "platform/fakes/fault_plan.h"
#include "platform/management.h"

namespace platform::fakes {

// A property value of any type, held as a copy of the variant it was made from (a by-reference
// value keeps pointing at its maker's storage). Each read hands out a copy.
class AnyProperty {
  public:
    explicit AnyProperty(const VARIANT& value) {
        VariantInit(&value_);
        VARIANT source = value;  // read only; the platform's declaration is not const
        VariantCopy(&value_, &source);
    }
    AnyProperty(const AnyProperty& other) : AnyProperty(other.value_) {}
    AnyProperty& operator=(const AnyProperty& other) {
        if (this != &other) {
            VARIANT source = other.value_;
            VariantCopy(&value_, &source);
        }
        return *this;
    }
    ~AnyProperty() { VariantClear(&value_); }

    const VARIANT& Get() const { return value_; }

  private:
    VARIANT value_;
};

// A property value: null, a number (VT_I4), a text (VT_BSTR) or any variant.
using FakeProperty = std::variant<std::monostate, LONG, std::u16string, AnyProperty>;
using FakeInstance = std::map<std::u16string, FakeProperty, std::less<>>;

class FakeManagementObject final : public ManagementObject {
  public:
    // `properties` stays the service's; an object lives only for the query that made it. Reads
    // are counted in `faults` too when it is given.
    FakeManagementObject(const FakeInstance& properties, int* reads, FaultPlan* faults = nullptr)
        : properties_(properties), reads_(reads), faults_(faults) {}

    HRESULT Get(std::u16string_view name, VARIANT* value) override {
        ++*reads_;
        if (faults_ != nullptr && faults_->Fail()) return faults_->status;
        const auto it = properties_.find(name);
        if (it == properties_.end()) return kWbemNotFound;
        VariantInit(value);
        if (const auto* number = std::get_if<LONG>(&it->second)) {
            value->vt = VT_I4;
            value->lVal = *number;
        } else if (const auto* text = std::get_if<std::u16string>(&it->second)) {
            return com::ReturnText(*text, value);
        } else if (const auto* any = std::get_if<AnyProperty>(&it->second)) {
            VARIANT source = any->Get();
            return VariantCopy(value, &source);
        } else {
            value->vt = VT_NULL;
        }
        return S_OK;
    }

  private:
    const FakeInstance& properties_;
    int* reads_;
    FaultPlan* faults_;
};

class FakeManagementService final : public ManagementService {
  public:
    HRESULT InstancesOf(std::u16string_view className,
                        std::vector<std::unique_ptr<ManagementObject>>* out) override {
        ++queries;
        lastClass = className;
        if (faults != nullptr && faults->Fail()) return faults->status;
        if (FAILED(failure)) return failure;
        out->clear();
        for (const auto& instance : instances)
            out->push_back(std::make_unique<FakeManagementObject>(instance, &reads, faults));
        return S_OK;
    }

    std::vector<FakeInstance> instances;
    HRESULT failure = S_OK;  // when set, the service cannot be bound
    int queries = 0;
    int reads = 0;
    std::u16string lastClass;
    // When set, queries and property reads are counted there; the armed one fails.
    FaultPlan* faults = nullptr;
};

}  // namespace platform::fakes
