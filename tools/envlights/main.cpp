// envlights: turns HDR environment maps into directional lights, by the sampling library's
// physical extraction or through the lighting node pool.

#include "CommandLine.h"
#include "EnvlightsApp.h"
#include "MessageLine.h"

#include <unistd.h>

#include <exception>
#include <iostream>

int main(int argc, char** argv)
{
    try {
        const envlights::CommandLine::Result parsed =
            envlights::CommandLine::parse(argc, argv, ENVLIGHTS_VERSION);
        if (!parsed.run) {
            std::cout << parsed.out;
            if (!parsed.error.empty())
                envlights::MessageLine::write(std::cerr, parsed.error);
            return parsed.exitCode;
        }
        envlights::EnvlightsApp app(std::cout, std::cerr, ENVLIGHTS_VERSION,
                                    ::isatty(STDERR_FILENO) == 1);
        return app.run(parsed.options);
    } catch (const std::exception& e) {
        // Allocation failure or a host error: still one line and a defined status.
        envlights::MessageLine::write(std::cerr, e.what());
        return envlights::exitInput;
    }
}
