#include "host/plugins/member_failure.h"

#include "host/plugins/status_text.h"

namespace host {

std::string Describe(const MemberFailure& failure) {
    const std::string where = failure.item ? ":" + std::to_string(*failure.item) + ": " : ": ";
    return failure.plugin + where + failure.member + " failed with " + StatusText(failure.status);
}

}  // namespace host
