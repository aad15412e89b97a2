# One INTERFACE target carries the warning and floating-point flags for our own code.
# -ffp-contract=off: results are specified to the bit, so the compiler may not fuse a
# multiply and an add behind our back. Never add -ffast-math.
add_library(project_warnings INTERFACE)
target_compile_options(project_warnings INTERFACE
    -Wall -Wextra -Werror -ffp-contract=off)
install(TARGETS project_warnings EXPORT morvekLightingTargets)
