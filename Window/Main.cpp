#include "Window/StartUp.h"
#include "platform/VersionRecord.h"

NORVANE_DEFINE_VERSION_RECORD(NORVANE_VERSION_MAJOR, NORVANE_VERSION_MINOR, NORVANE_VERSION_PATCH,
                              NORVANE_VERSION_TWEAK);

int main() {
    return RunInstaller();
}
