// libFuzzer's entry points. One program holds every target; it runs the one
// its name says (fuzz_<target>, a link to it that the build makes), else the
// one ORDWICK_FUZZ_TARGET names.
#include "fuzz/support.h"
#include "fuzz/targets.h"

#include <QFileInfo>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

const ordwick::fuzz::Target* chosenTarget(const char* program) {
    static const ordwick::fuzz::Target* const target = [&] {
        QByteArray name = QFileInfo(QString::fromLocal8Bit(program)).fileName().toLocal8Bit();
        if (name.startsWith("fuzz_"))
            name.remove(0, 5);
        if (const ordwick::fuzz::Target* byName = ordwick::fuzz::findTarget(name))
            return byName;
        return ordwick::fuzz::findTarget(qgetenv("ORDWICK_FUZZ_TARGET"));
    }();
    if (target == nullptr) {
        std::fprintf(stderr, "Run this program as fuzz_<target> or name the target in "
                             "ORDWICK_FUZZ_TARGET.\n");
        std::exit(2);
    }
    return target;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    chosenTarget(*argc > 0 ? (*argv)[0] : "");
    ordwick::fuzz::initialize();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    chosenTarget("")->run(
        QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    return 0;
}
