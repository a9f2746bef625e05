// kestrelwork-cmd SCRIPT: runs a build script in the current terminal. The
// program starts it in a new terminal window; when it ends, the window closes.

#include "platform/console/CommandInterpreter.h"

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fputs("usage: kestrelwork-cmd SCRIPT\n", stderr);
        return 2;
    }
    return kw::RunScriptFile(argv[1]);
}
