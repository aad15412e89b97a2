# One INTERFACE target carries the warning and floating-point flags for our own code.
# -ffp-contract=off: results are specified to the bit, so the compiler may not fuse a
# multiply and an add behind our back. Never add -ffast-math.
#
# Our targets link it as $<BUILD_INTERFACE:project_warnings>: the flags hold while this tree is
# built and never reach a project that uses the installed package, where -Werror would fail
# that project's build on warnings in its own code. It is neither installed nor exported.
add_library(project_warnings INTERFACE)
target_compile_options(project_warnings INTERFACE
    -Wall -Wextra -ffp-contract=off)
# The fuzz build is clang's, whose warnings differ from GCC's: they are shown there, and the GCC
# builds are the ones that stop on them.
if(NOT MORVEK_BUILD_FUZZERS)
    target_compile_options(project_warnings INTERFACE -Werror)
endif()
