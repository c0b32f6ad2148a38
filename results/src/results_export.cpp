#include "kelvarn/results/results_export.h"

#include "kelvarn/design/file_replacement.h"

namespace kelvarn::results {

std::optional<std::string> ResultsStem(const design::Project& project) {
    if (project.InpFileName.size() < 4) {
        return std::nullopt;
    }
    return project.InpFileName.substr(0, project.InpFileName.size() - 4);
}

std::optional<std::string> DefaultDesignReportName(const design::Project& project) {
    const auto stem = ResultsStem(project);
    if (!stem) {
        return std::nullopt;
    }
    return project.ProjectDir + *stem + "_Design.txt";
}

std::optional<std::string> DefaultResultInpName(const design::Project& project) {
    const auto stem = ResultsStem(project);
    if (!stem) {
        return std::nullopt;
    }
    return project.ProjectDir + *stem + "_Result.inp";
}

bool SaveResultInpFile(design::HydraulicModel& model, const std::filesystem::path& source,
                       const std::filesystem::path& target) {
    return design::ReplaceFileAtomically(
        target,
        [&](const std::filesystem::path& temporary) {
            const int opened = model.ENopen(source.string(), "a", "b");
            const int saved = model.ENsaveinpfile(temporary.string());
            const int closed = model.ENclose();
            return opened == 0 && saved == 0 && closed == 0;
        },
        nullptr);
}

}  // namespace kelvarn::results
