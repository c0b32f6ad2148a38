// A failure to read the text of an input file into the network.
#pragma once

#include <stdexcept>

namespace kelvarn::network {

// The message names the file, the line and the cause.
class NetworkFileError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

}  // namespace kelvarn::network
