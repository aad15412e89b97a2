// A library that calls itself a node pool but has no entry point.

extern "C" __attribute__((visibility("default"))) int hostTestNotAnEntry() { return 1; }
