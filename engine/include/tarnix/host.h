#pragma once

#include <chrono>
#include <string_view>

#include "tarnix/export.h"

namespace tarnix {

// What the engine needs from the program that hosts it. Every function has a
// default that does nothing (or uses the system clock), so a console host can
// pass no host at all; a window host overrides what it can show.
class TARNIX_API Host {
  public:
    virtual ~Host();

    // A refused setting or a failed gene definition, when ShowErrorMessageBox is
    // true. A window host shows a modal box with the title and a single OK button.
    virtual void showMessage(std::string_view text, std::string_view title);

    // ShowAboutBox: a modal window closed by its button.
    virtual void showAboutBox();

    // Called after every GenerationReport, so that a window host can let its
    // window system process pending messages (and so receive a stop request).
    virtual void processPendingMessages();

    // An accepted setter marks the property changed for persistence.
    virtual void propertyChanged(std::string_view propertyName);

    // True while the host is a form designer; decides which error the read-only
    // gene-count setters raise (387 at design time, 382 at run time).
    virtual bool isDesignTime() const;

    // The date and time used for run times and the elapsed-time stop rule.
    virtual std::chrono::system_clock::time_point now() const;
};

}  // namespace tarnix
