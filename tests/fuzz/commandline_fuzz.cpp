// The command line and the hand-off: what a later start sends, the running one reads back.
#include "fuzz.h"
#include "shell/commandline.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QString line = QString::fromUtf8(Bytes(data, size));
    ParseCommandLine(line);
    FUZZ_CHECK(ParseHandOff(HandOffCommand(line)).kind != HandOff::Other);
    ParseHandOff(line);
    return 0;
}
