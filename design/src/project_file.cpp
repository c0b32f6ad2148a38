#include "kelvarn/design/project_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <locale>
#include <optional>
#include <string>
#include <string_view>

#include "kelvarn/common/keyed_collection.h"
#include "kelvarn/common/number_format.h"
#include "kelvarn/network/split_fields.h"

namespace kelvarn::design {
namespace {

constexpr const char* kInpFile = "[INP_FILE]";
constexpr const char* kDesignOption = "[DESIGN_OPTION]";
constexpr const char* kDesignJunctions = "[DESIGN_JUNCTIONS]";
constexpr const char* kDesignPipes = "[DESIGN_PIPES]";
constexpr const char* kDesignSources = "[DESIGN_SOURCES]";
constexpr const char* kGaOptions = "[GA_OPTIONS]";

constexpr std::size_t kPrintZone = 14;
constexpr std::int32_t kMaxFields = 50;

// The comma separates fields, so the file always uses the decimal point.
const std::locale& FileLocale() {
    return std::locale::classic();
}

struct WriteError {
    std::string what;
};

std::string Number(float value) {
    return common::PrintForm(value, FileLocale());
}

// Whole numbers are written in full, so no digit of a count is lost.
std::string Whole(std::int32_t value) {
    const std::string digits = std::to_string(value);
    return value < 0 ? digits + " " : " " + digits + " ";
}

// Refuses text that could not be read back unchanged inside double quotes.
void CheckQuotable(std::string_view text, const std::string& what) {
    if (text.find_first_of("\"\r\n") != std::string_view::npos) {
        throw WriteError{what + " \"" + std::string(text) +
                         "\" contains a double quote or a line break and cannot be saved"};
    }
}

std::string Quoted(std::string_view text, const std::string& what) {
    CheckQuotable(text, what);
    return "\"" + std::string(text) + "\"";
}

// An ID is written as it is; one that holds a field separator (or none at
// all) is quoted, and the blank after the closing quote stands for the
// character the reader skips there.
std::string IdText(const std::string& id, const std::string& what) {
    if (id.find_first_of(";\"\r\n") != std::string::npos || (!id.empty() && id[0] == '[')) {
        throw WriteError{what + " \"" + id + "\" contains a character the project file cannot hold (; \" [)"};
    }
    if (id.empty() || id.find_first_of(" \t,") != std::string::npos) {
        return "\"" + id + "\" ";
    }
    return id;
}

// An ID is followed directly by the first number, whose leading blank parts
// them; a minus sign would not, so a blank goes before it.
std::string IdThen(const std::string& idText, const std::string& number) {
    return idText + (idText.back() != ' ' && number[0] == '-' ? " " : "") + number;
}

// An absent junction limit keeps its place as an empty quoted field.
std::string Limit(const std::optional<float>& value) {
    return value ? Number(*value) : std::string(" \"\" ");
}

std::string KeyInZone(const std::string& key) {
    std::string out = key;
    out.append((key.size() / kPrintZone + 1) * kPrintZone - key.size(), ' ');
    return out;
}

std::string Compose(const Project& p) {
    std::string out;
    auto line = [&out](const std::string& text) { out += text + "\r\n"; };
    auto header = [&line](const char* name) {
        line(name);
        line(kProjectSeparator);
    };

    header(kInpFile);
    CheckQuotable(p.InpFileName, "the network file name");
    if (p.InpFileName.find(';') != std::string::npos) {
        throw WriteError{"the network file name \"" + p.InpFileName +
                         "\" contains \";\" and cannot be saved"};
    }
    line(Quoted(p.InpFileName, "the network file name"));
    line("");

    header(kDesignOption);
    for (std::int32_t k = 1; k <= p.OptionCatalogue.Count(); ++k) {
        const clsDesignOptions& o = p.OptionCatalogue.Item(k);
        line(IdThen(IdText(o.ID, "the option ID"), Number(o.Cost)) + Number(o.Diameter) +
             Number(o.Roughness) + Quoted(o.Description, "the description of option " + o.ID));
    }
    line("");

    const network::Network& net = p.Network;
    auto node = [&net](const std::string& id, const char* kind) -> const network::clsNode& {
        try {
            return net.Nodes.Item(id);
        } catch (const common::KeyNotFound&) {
            throw WriteError{std::string("the design ") + kind + " \"" + id + "\" is not in the network"};
        }
    };

    header(kDesignJunctions);
    for (const std::string& id : p.DesignJunctions) {
        const network::clsNode& n = node(id, "junction");
        line(IdThen(IdText(n.ID, "the junction ID"), Limit(n.MinPressure)) + Limit(n.MaxPressure));
    }
    line("");

    header(kDesignPipes);
    for (const std::string& id : p.DesignPipes) {
        const network::clsLink* l = nullptr;
        try {
            l = &net.Links.Item(id);
        } catch (const common::KeyNotFound&) {
            throw WriteError{"the design pipe \"" + id + "\" is not in the network"};
        }
        std::string text =
            IdThen(IdText(l->ID, "the pipe ID"), Number(l->MinVelocity)) + Number(l->MaxVelocity);
        for (const std::string& option : l->colPipeDesignOptions) {
            text += IdText(option, "the option ID") + "\t";
        }
        line(text);
    }
    line("");

    header(kDesignSources);
    for (const std::string& id : p.DesignSources) {
        const network::clsNode& n = node(id, "source");
        line(IdThen(IdText(n.ID, "the source ID"), Number(n.MaxFlow)));
    }
    line("");

    const GaOptions& ga = p.GaOptions;
    header(kGaOptions);
    line(KeyInZone("PRESSURE_PENALTY") + Number(ga.PressurePenalty));
    line(KeyInZone("WARNING_PENALTY") + Number(ga.WarningPenalty));
    line(KeyInZone("VELOCITY_PENALTY") + Number(ga.VelocityPenalty));
    line(KeyInZone("SOURCES_PENALTY") + Number(ga.SourcesPenalty));
    line(KeyInZone("POPULATION") + Whole(ga.Population));
    line(KeyInZone("GENERATIONS") + Whole(ga.Generations));
    line(KeyInZone("PRESSURE_TOLERANCE") + Number(ga.PressureTolerance));
    line(KeyInZone("VELOCITY_TOLERANCE") + Number(ga.VelocityTolerance));
    line(KeyInZone("GENERATIONS_NO_CHANGE") + Whole(ga.GenerationsNoChange));
    line("");
    return out;
}

std::string SystemError(const std::string& what, const std::string& path) {
    return what + " \"" + path + "\": " + std::strerror(errno);
}

// Writes the bytes to a new file beside the target and renames it over the
// target only once every byte is on disk, so the old file survives any failure.
void ReplaceFile(const std::string& target, const std::string& bytes) {
    // Saving through a link updates the file it points to, not the link.
    std::error_code ec;
    const std::string path = std::filesystem::is_symlink(target, ec)
                                 ? std::filesystem::weakly_canonical(target, ec).string()
                                 : target;
    if (access(path.c_str(), F_OK) == 0 && access(path.c_str(), W_OK) != 0) {
        throw WriteError{SystemError("cannot write", path)};
    }
    std::string temporary = path + ".XXXXXX";
    const int fd = mkstemp(temporary.data());
    if (fd < 0) {
        throw WriteError{SystemError("cannot create a file beside", path)};
    }
    auto abandon = [&](const std::string& why) {
        const std::string message = SystemError(why, path);
        close(fd);
        unlink(temporary.c_str());
        throw WriteError{message};
    };
    struct stat old {};
    const mode_t mode = stat(path.c_str(), &old) == 0 ? (old.st_mode & 07777) : 0644;
    if (fchmod(fd, mode) != 0) {
        abandon("cannot set the permissions of the new");
    }
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            abandon("cannot write");
        }
        done += static_cast<std::size_t>(n);
    }
    if (fsync(fd) != 0) {
        abandon("cannot write");
    }
    if (close(fd) != 0) {
        const std::string message = SystemError("cannot write", path);
        unlink(temporary.c_str());
        throw WriteError{message};
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        const std::string message = SystemError("cannot replace", path);
        unlink(temporary.c_str());
        throw WriteError{message};
    }
}

enum class Section { kNone, kInpFile, kOption, kJunctions, kPipes, kSources, kGaOptions };

Section HeaderSection(const std::string& field) {
    if (field == kInpFile)
        return Section::kInpFile;
    if (field == kDesignOption)
        return Section::kOption;
    if (field == kDesignJunctions)
        return Section::kJunctions;
    if (field == kDesignPipes)
        return Section::kPipes;
    if (field == kDesignSources)
        return Section::kSources;
    if (field == kGaOptions)
        return Section::kGaOptions;
    return Section::kNone;
}

struct ReadError {
    std::string what;
};

float ReadFloat(const std::string& text, const char* what) {
    std::optional<float> value = common::ParseFloat(text, FileLocale());
    if (!value) {
        throw ReadError{std::string(what) + " \"" + text + "\" is not a number"};
    }
    return *value;
}

// A count: a fraction rounds to the nearest whole number, a tie to the even one.
std::int32_t ReadWhole(const std::string& text, const char* what) {
    std::optional<double> value = common::ParseNumber(text, FileLocale());
    if (!value) {
        throw ReadError{std::string(what) + " \"" + text + "\" is not a number"};
    }
    std::optional<std::int32_t> whole = common::ToInt32HalfEven(*value);
    if (!whole) {
        throw ReadError{std::string(what) + " \"" + text + "\" is out of range"};
    }
    return *whole;
}

std::optional<float> ReadLimit(const std::array<std::string, 51>& f, std::int32_t count, std::int32_t k,
                               const char* what) {
    if (count < k || f[k].empty()) {
        return std::nullopt;
    }
    return ReadFloat(f[k], what);
}

void NeedFields(std::int32_t count, std::int32_t needed, const char* record) {
    if (count < needed) {
        throw ReadError{std::string("the ") + record + " record has too few fields"};
    }
}

class Reader {
  public:
    explicit Reader(Project& p) : p_(p) {}

    void Record(const std::array<std::string, 51>& f, std::int32_t count) {
        switch (section_) {
            case Section::kNone:
                throw ReadError{f[1][0] == '[' ? "unknown section \"" + f[1] + "\""
                                               : std::string("a record outside a known section")};
            case Section::kInpFile:
                p_.InpFileName = f[1];
                break;
            case Section::kOption:
                Option(f, count);
                break;
            case Section::kJunctions: {
                std::optional<float> min = ReadLimit(f, count, 2, "the minimum pressure");
                std::optional<float> max = ReadLimit(f, count, 3, "the maximum pressure");
                p_.DesignJunctions.push_back(f[1]);
                p_.StagedDesign.StagedJunctionMinPressure.push_back(min);
                p_.StagedDesign.StagedJunctionMaxPressure.push_back(max);
                break;
            }
            case Section::kPipes:
                Pipe(f, count);
                break;
            case Section::kSources: {
                NeedFields(count, 2, "source");
                const float flow = ReadFloat(f[2], "the maximum flow");
                p_.DesignSources.push_back(f[1]);
                p_.StagedDesign.StagedSourceMaxFlow.push_back(flow);
                break;
            }
            case Section::kGaOptions:
                Setting(f, count);
                break;
        }
    }

    Section section_ = Section::kNone;

  private:
    void Option(const std::array<std::string, 51>& f, std::int32_t count) {
        NeedFields(count, 4, "option");
        colDesignOptions& catalogue = p_.OptionCatalogue;
        if (pipeRead_ && !catalogue.Contains(f[1])) {
            throw ReadError{"the option \"" + f[1] + "\" comes after the first pipe record"};
        }
        const float cost = ReadFloat(f[2], "the cost");
        const float diameter = ReadFloat(f[3], "the diameter");
        const float roughness = ReadFloat(f[4], "the roughness");
        bool present = false;
        clsDesignOptions* option = catalogue.Add(f[1], &present);
        if (present) {
            // A repeated ID updates the option already stored, which keeps its place.
            option = &catalogue.Item(f[1]);
        } else {
            option->Index = catalogue.Count();
        }
        option->ID = f[1];
        option->Cost = cost;
        option->Diameter = diameter;
        option->Roughness = roughness;
        option->Description = count >= 5 ? f[5] : std::string();
    }

    void Pipe(const std::array<std::string, 51>& f, std::int32_t count) {
        if (count > kMaxFields) {
            throw ReadError{"the pipe record lists more than 47 options"};
        }
        NeedFields(count, 3, "pipe");
        const std::int32_t options = count - 3;
        if (options > p_.OptionCatalogue.Count()) {
            throw ReadError{"the pipe \"" + f[1] + "\" lists " + std::to_string(options) +
                            " options but the catalogue holds " + std::to_string(p_.OptionCatalogue.Count())};
        }
        const float min = ReadFloat(f[2], "the minimum velocity");
        const float max = ReadFloat(f[3], "the maximum velocity");
        StagedDesign& s = p_.StagedDesign;
        p_.DesignPipes.push_back(f[1]);
        s.StagedPipeMinVelocity.push_back(min);
        s.StagedPipeMaxVelocity.push_back(max);
        s.StagedPipeOptionIds.emplace_back(f.begin() + 4, f.begin() + 4 + options);
        s.StagedPipeOptionCount.push_back(options);
        pipeRead_ = true;
    }

    void Setting(const std::array<std::string, 51>& f, std::int32_t count) {
        GaOptions& ga = p_.GaOptions;
        const std::string& key = f[1];
        float* real = key == "PRESSURE_PENALTY"     ? &ga.PressurePenalty
                      : key == "WARNING_PENALTY"    ? &ga.WarningPenalty
                      : key == "VELOCITY_PENALTY"   ? &ga.VelocityPenalty
                      : key == "SOURCES_PENALTY"    ? &ga.SourcesPenalty
                      : key == "PRESSURE_TOLERANCE" ? &ga.PressureTolerance
                      : key == "VELOCITY_TOLERANCE" ? &ga.VelocityTolerance
                                                    : nullptr;
        std::int32_t* whole = key == "POPULATION"              ? &ga.Population
                              : key == "GENERATIONS"           ? &ga.Generations
                              : key == "GENERATIONS_NO_CHANGE" ? &ga.GenerationsNoChange
                                                               : nullptr;
        if (real == nullptr && whole == nullptr) {
            return;  // unknown keys are left for newer versions
        }
        if (count < 2) {
            throw ReadError{"the setting " + key + " has no value"};
        }
        if (real != nullptr) {
            *real = ReadFloat(f[2], key.c_str());
        } else {
            *whole = ReadWhole(f[2], key.c_str());
        }
    }

    Project& p_;
    bool pipeRead_ = false;
};

void EmptyDesignData(Project& p) {
    p.StagedDesign.Clear();
    p.ClearDesignData();
}

}  // namespace

bool WriteProject(const Project& project, const std::string& path, std::string* error) {
    try {
        ReplaceFile(path, Compose(project));
        return true;
    } catch (const WriteError& e) {
        if (error != nullptr) {
            *error = e.what;
        }
        return false;
    }
}

bool ReadProject(Project& project, const std::string& path, std::string* error) {
    EmptyDesignData(project);
    auto fail = [&](const std::string& why) {
        EmptyDesignData(project);
        if (error != nullptr) {
            *error = path + ": " + why;
        }
        return false;
    };
    std::ifstream in(path, std::ios::binary);
    if (!in || std::filesystem::is_directory(path)) {
        return fail("the file cannot be opened");
    }
    std::string line;
    if (!std::getline(in, line)) {
        return fail("the file is empty");
    }
    // A text editor may have put a byte order mark before the first header.
    if (line.rfind("\xEF\xBB\xBF", 0) == 0) {
        line.erase(0, 3);
    }
    Reader reader(project);
    std::array<std::string, 51> fields;
    int lineNumber = 0;
    do {
        ++lineNumber;
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        const std::int32_t count = network::SplitFields(line, fields);
        if (count == 0) {
            continue;
        }
        try {
            if (fields[1][0] == '[') {
                reader.section_ = HeaderSection(fields[1]);
                if (reader.section_ != Section::kNone) {
                    continue;
                }
            }
            reader.Record(fields, count);
        } catch (const ReadError& e) {
            return fail("line " + std::to_string(lineNumber) + ": " + e.what);
        } catch (const std::exception& e) {
            return fail("line " + std::to_string(lineNumber) + ": " + e.what());
        }
    } while (std::getline(in, line));
    if (in.bad()) {
        return fail("the file cannot be read");
    }
    return true;
}

}  // namespace kelvarn::design
