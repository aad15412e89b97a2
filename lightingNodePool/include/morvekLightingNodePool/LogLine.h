#pragma once

// The pool writes its log lines through the host's writer (level gate, header for an accepted
// module, log lock), so that host and pool lines look and behave alike.
#include <morvekBase/HostLog.h>

// One log line from `source` ("lightingNodePool/<Class>") under the host's module name, with
// the caller's line and function signature.
#define MORVEK_LOG_LINE(level, source, ...) MORVEK_HOST_LOG((level), (source), __VA_ARGS__)
