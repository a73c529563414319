// A library with one export, loaded at run time by the loader tests.
extern "C" __attribute__((visibility("default"))) int ProbeAnswer() {
    return 42;
}
