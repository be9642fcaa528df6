#include "platform/platform.h"
#include "transfer/run.h"

int main(int argc, char** argv) {
    PlatformStartOutput();
    return KeltoMain(argc, argv);
}
