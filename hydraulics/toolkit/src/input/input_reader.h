// Reads an EPANET input file into a Model in two passes: the first creates
// every named object (and reads the options, which fix the units), the second
// fills in properties, so sections may come in any order.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "model/model.h"

namespace kvepa2 {

struct InputError {
    int code = 0;
    std::string message;
    int line = 0;  // 1-based line of the file; 0 for a problem of the whole network  // "Error 203: undefined
                   // node X in [PIPES] section:" and the line
};

struct ReadResult {
    int code = 0;  // 0, or EPANET's code: 200 for input errors, 302 when unreadable
    std::vector<InputError> errors;
};

// The model is replaced; when the result has a code, it is left empty.
ReadResult readInputText(std::string_view text, Model& model);
ReadResult readInputFile(const std::string& path, Model& model);

}  // namespace kvepa2
