#include "platform/StandardStreams.h"
#include "ui/Program.h"

int main(int argc, char* argv[]) {
    dividra::platform::ReopenClosedStandardStreams();
    return dividra::ui::RunWindowProgram(argc, argv);
}
