#include "CommandLine.h"

#include <iostream>

int main (int argc, char* argv[])
{
    return CommandLine::run ({ argv + 1, argv + argc }, std::cout, std::cerr);
}
