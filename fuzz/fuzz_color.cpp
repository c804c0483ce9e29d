// The colour-file reader (.qlp: the phrasing areas of a colour set, inside packages), as the colour
// panel calls it, then what the core does with a set it read (the area searches).
#include <cmath>

#include "FuzzSandbox.h"
#include "core/Function.h"
#include "core/ManagePhrasing.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The reader goes by the name: only ".qlp" files are read.
    const QString path = FuzzSandbox::writeInput(data, size, FuzzSandbox::file(QStringLiteral("input.qlp")));
    const std::unique_ptr<ManagePhrasing> set = ManagePhrasing::readQLPFile(path);
    if (!set)
        return 0;
    FuzzSandbox::require(set->checkPhrasing(), "a set read passes the area check");
    FuzzSandbox::require(set->listPhrasing().size() <= ManagePhrasing::MAX_AREAS, "a set read has few areas");
    FuzzSandbox::require(set->scratchTools().isEmpty() || Function::isBareFileName(set->scratchTools()),
                         "the scratch sound is named by a bare file name");
    for (const QPhrasing& area : set->listPhrasing()) {
        FuzzSandbox::require(std::isfinite(area.angleStart()) && std::isfinite(area.angleEnd()),
                             "every angle read is finite");
        set->searchPhrasing(area.angleStart());
        set->searchAngleStart(area.angleEnd());
        set->searchAngleEnd(area.angleStart());
    }
    return 0;
}
