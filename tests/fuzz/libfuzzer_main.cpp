// The libFuzzer entry of one target, chosen at compile time with ZP_FUZZ_ENTRY. The
// chart and the Units dialog need an application object; it draws off screen.
#include <QApplication>
#include <cstdlib>

#include "tests/fuzz/fuzz_targets.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static QApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return zp::fuzz::ZP_FUZZ_ENTRY(data, size);
}
