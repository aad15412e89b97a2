#pragma once

// One run of envlights: every image (or the built-in sky) through the method chosen, on a few
// workers, then the outputs and the pictures, written all together or not at all. Only the
// node method loads the lighting node pool, and it works on one image at a time.

#include "CommandLine.h"
#include "EnvironmentReport.h"
#include "PhysicalReport.h"

#include <ostream>
#include <string>
#include <vector>

namespace envlights {

class EnvlightsApp {
public:
    /// `errIsTerminal`: standard error is a terminal, so a progress line may be shown there.
    EnvlightsApp(std::ostream& out, std::ostream& err, std::string version,
                 bool errIsTerminal = false)
        : _out(out), _err(err), _version(std::move(version)), _errIsTerminal(errIsTerminal)
    {
    }

    /// Returns the exit status. Errors are one line each on `err`, starting "envlights: ".
    int run(const Options& options);

private:
    /// The output text of `node` or `physical` (the one the method made) in the chosen format.
    std::string format(const Options& options, const std::vector<EnvironmentReport>& node,
                       const std::vector<PhysicalReport>& physical) const;

    std::ostream& _out;
    std::ostream& _err;
    std::string _version;
    bool _errIsTerminal;
};

} // namespace envlights
