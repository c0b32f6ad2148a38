// The sections of an input file.
#pragma once

#include <string_view>

namespace kvepa2 {

enum class Section {
    None,
    Title,
    Junctions,
    Reservoirs,
    Tanks,
    Pipes,
    Pumps,
    Valves,
    Controls,
    Rules,
    Demands,
    Sources,
    Emitters,
    Patterns,
    Curves,
    Quality,
    Status,
    Roughness,
    Energy,
    Reactions,
    Mixing,
    Report,
    Times,
    Options,
    Coordinates,
    Vertices,
    Labels,
    Backdrop,
    Tags,
    Leakage,
    End,
    Unknown
};

// Section named by a header line such as "[JUNCTIONS]" (matched by EPANET's prefixes).
Section sectionFromHeader(std::string_view header);
// Header name written back, without brackets.
std::string_view sectionName(Section s);
// Sections whose lines are kept verbatim rather than interpreted.
bool isKeptSection(Section s);

}  // namespace kvepa2
