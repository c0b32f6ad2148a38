#include "input/section.h"

#include <array>
#include <utility>

#include "input/tokenizer.h"

namespace kvepa2 {

namespace {

struct SectionName {
    Section section;
    std::string_view prefix;
    std::string_view name;
};

constexpr std::array<SectionName, 30> kSections{{
    {Section::Title, "[TITLE", "TITLE"},          {Section::Junctions, "[JUNC", "JUNCTIONS"},
    {Section::Reservoirs, "[RESE", "RESERVOIRS"}, {Section::Tanks, "[TANK", "TANKS"},
    {Section::Pipes, "[PIPE", "PIPES"},           {Section::Pumps, "[PUMP", "PUMPS"},
    {Section::Valves, "[VALV", "VALVES"},         {Section::Controls, "[CONT", "CONTROLS"},
    {Section::Rules, "[RULE", "RULES"},           {Section::Demands, "[DEMA", "DEMANDS"},
    {Section::Sources, "[SOUR", "SOURCES"},       {Section::Emitters, "[EMIT", "EMITTERS"},
    {Section::Patterns, "[PATT", "PATTERNS"},     {Section::Curves, "[CURV", "CURVES"},
    {Section::Quality, "[QUAL", "QUALITY"},       {Section::Status, "[STAT", "STATUS"},
    {Section::Roughness, "[ROUG", "ROUGHNESS"},   {Section::Energy, "[ENER", "ENERGY"},
    {Section::Reactions, "[REAC", "REACTIONS"},   {Section::Mixing, "[MIXI", "MIXING"},
    {Section::Report, "[REPO", "REPORT"},         {Section::Times, "[TIME", "TIMES"},
    {Section::Options, "[OPTI", "OPTIONS"},       {Section::Coordinates, "[COOR", "COORDINATES"},
    {Section::Vertices, "[VERT", "VERTICES"},     {Section::Labels, "[LABE", "LABELS"},
    {Section::Backdrop, "[BACK", "BACKDROP"},     {Section::Tags, "[TAGS", "TAGS"},
    {Section::Leakage, "[LEAK", "LEAKAGE"},       {Section::End, "[END", "END"},
}};

}  // namespace

Section sectionFromHeader(std::string_view header) {
    for (const auto& s : kSections) {
        if (matchesKeyword(header, s.prefix))
            return s.section;
    }
    return Section::Unknown;
}

std::string_view sectionName(Section section) {
    for (const auto& s : kSections) {
        if (s.section == section)
            return s.name;
    }
    return "";
}

bool isKeptSection(Section s) {
    switch (s) {
        case Section::Sources:
        case Section::Quality:
        case Section::Roughness:
        case Section::Energy:
        case Section::Reactions:
        case Section::Mixing:
        case Section::Report:
        case Section::Coordinates:
        case Section::Vertices:
        case Section::Labels:
        case Section::Backdrop:
        case Section::Tags:
        case Section::Leakage:
            return true;
        default:
            return false;
    }
}

}  // namespace kvepa2
