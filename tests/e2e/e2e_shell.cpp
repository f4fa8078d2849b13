#include "e2e_shell.h"

#include <cstdio>
#include <cstdlib>
#include <thread>

bool xdo(const std::string& arguments)
{
    return std::system(("xdotool " + arguments).c_str()) == 0;
}

std::string output(const std::string& command)
{
    std::string text;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[256];
        while (std::fgets(buffer, sizeof buffer, pipe))
            text += buffer;
        pclose(pipe);
    }
    return text;
}

void pause(std::chrono::milliseconds time)
{
    std::this_thread::sleep_for(time);
}
