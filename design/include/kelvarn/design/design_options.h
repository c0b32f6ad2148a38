// The pipe option catalogue: keyed by option ID without regard to letter case.
#pragma once

#include <string>

#include "kelvarn/common/keyed_collection.h"
#include "kelvarn/design/design_option.h"

namespace kelvarn::design {

class colDesignOptions : public common::KeyedCollection<clsDesignOptions, common::CaseInsensitiveKeyLess> {
    using Base = common::KeyedCollection<clsDesignOptions, common::CaseInsensitiveKeyLess>;

  public:
    // Appends a default option under sKey (without a key when empty) and
    // returns it. When the key is present (in any letter case) nothing is
    // added, *IsErr is set to true and nullptr is returned; *IsErr is never
    // set back to false. Item and Remove throw common::KeyNotFound on a miss.
    clsDesignOptions* Add(const std::string& sKey = {}, bool* IsErr = nullptr) {
        if (Contains(sKey)) {
            if (IsErr != nullptr) {
                *IsErr = true;
            }
            return nullptr;
        }
        return &Base::Add(sKey);
    }
};

}  // namespace kelvarn::design
