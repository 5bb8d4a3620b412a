// The viewer's entry point; start-up itself lives in startup.cpp.
#include "app/startup.h"

int main(int argc, char** argv) {
    zp::ViewerApplication app(argc, argv);
    return zp::runViewer();
}
