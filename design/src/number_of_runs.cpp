#include "kelvarn/design/number_of_runs.h"

#include "kelvarn/common/number_format.h"

namespace kelvarn::design {

std::optional<std::int32_t> ParseNumberOfRuns(std::string_view text, const std::locale& loc) {
    if (!common::IsNumericText(text, loc)) {
        return std::nullopt;
    }
    const std::optional<double> value = common::ParseNumber(text, loc);
    if (!value || !(*value > 0.0)) {
        return std::nullopt;
    }
    return common::ToInt32HalfEven(*value);
}

}  // namespace kelvarn::design
