#include "kelvarn/results/results_tables.h"

#include <stdexcept>

#include "kelvarn/common/number_format.h"

namespace kelvarn::results {

namespace {

void PutId(Table& table, std::int32_t row, const std::string& id) {
    Cell& cell = table.cell(row, 0);
    cell.text = id;
    cell.bold = true;
    cell.alignment = Alignment::Centre;
}

}  // namespace

Table BuildPipesTable(const design::Project& project, const design::BestFeasibleRecord& record) {
    if (!record.FeasibleFound || record.BestFeasibleGenes.size() != project.DesignPipes.size()) {
        throw std::invalid_argument("no feasible design of these pipes to show");
    }
    const auto count = static_cast<std::int32_t>(project.DesignPipes.size());
    Table table(count + 2, 5);
    table.layoutHeader({{"ID", 1000},
                        {"Design description", 2000},
                        {"Cost", 1000},
                        {"Min. Velocity", 800},
                        {"Max. Velocity", 800}});
    for (std::int32_t j = 1; j <= count; ++j) {
        const std::string& id = project.DesignPipes[static_cast<std::size_t>(j - 1)];
        const network::clsLink& link = project.Network.Links.Item(id);
        PutId(table, j, id);
        const std::int32_t g = record.BestFeasibleGenes[static_cast<std::size_t>(j - 1)];
        if (g < 0 || static_cast<std::size_t>(g) >= link.colPipeDesignOptions.size()) {
            continue;  // the gene selects no option: nothing to describe
        }
        const design::clsDesignOptions& option =
            project.OptionCatalogue.Item(link.colPipeDesignOptions[static_cast<std::size_t>(g)]);
        table.cell(j, 1).text = option.Description;
        table.cell(j, 2).text =
            common::FormatThousands(static_cast<double>(link.Length) * static_cast<double>(option.Cost));
        if (option.Diameter > 0.0f) {
            table.cell(j, 3).text = common::FormatFixed2(link.DesignMinVelocity);
            table.cell(j, 4).text = common::FormatFixed2(link.DesignMaxVelocity);
        }
    }
    const std::int32_t total = table.rowCount() - 1;
    table.cell(total, 0).text = "Total";
    table.cell(total, 0).bold = true;
    // The cost the process recorded, not a sum of the column.
    table.cell(total, 2).text = common::FormatThousands(record.BestFeasibleCost);
    table.cell(total, 2).bold = true;
    return table;
}

Table BuildJunctionsTable(const design::Project& project) {
    const auto count = static_cast<std::int32_t>(project.DesignJunctions.size());
    Table table(count + 1, 3);
    table.layoutHeader({{"ID", 1000}, {"Min. Pressure", 1500}, {"Max. Pressure", 1500}});
    for (std::int32_t j = 1; j <= count; ++j) {
        const std::string& id = project.DesignJunctions[static_cast<std::size_t>(j - 1)];
        const network::clsNode& node = project.Network.Nodes.Item(id);
        PutId(table, j, id);
        table.cell(j, 1).text = common::FormatFixed2(node.DesignMinPressure);
        table.cell(j, 2).text = common::FormatFixed2(node.DesignMaxPressure);
    }
    return table;
}

Table BuildSourcesTable(const design::Project& project) {
    const auto count = static_cast<std::int32_t>(project.DesignSources.size());
    Table table(count + 1, 2);
    table.layoutHeader({{"ID", 1000}, {"Max. Flow", 1500}});
    for (std::int32_t j = 1; j <= count; ++j) {
        const std::string& id = project.DesignSources[static_cast<std::size_t>(j - 1)];
        PutId(table, j, id);
        table.cell(j, 1).text = common::FormatFixed2(project.Network.Nodes.Item(id).DesignMaxSourceFlow);
    }
    return table;
}

Table BuildResultsTable(std::string_view caption, const design::Project& project,
                        const design::BestFeasibleRecord& record) {
    if (caption == kPipesCaption) {
        return BuildPipesTable(project, record);
    }
    if (caption == kJunctionsCaption) {
        return BuildJunctionsTable(project);
    }
    if (caption == kSourcesCaption) {
        return BuildSourcesTable(project);
    }
    return Table();
}

std::vector<CaptionedTable> BuildResultsTables(const design::Project& project,
                                               const design::BestFeasibleRecord& record) {
    std::vector<CaptionedTable> tables;
    for (std::string_view caption : kResultsTabs) {
        tables.push_back(CaptionedTable{std::string(caption), BuildResultsTable(caption, project, record)});
    }
    return tables;
}

}  // namespace kelvarn::results
