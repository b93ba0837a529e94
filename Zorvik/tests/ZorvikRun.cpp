#include "Zorvik/tests/ZorvikRun.h"

#include "testing/ChildProcess.h"

#include <gtest/gtest.h>

#include <sstream>

namespace zorvik::test {

using namespace std::chrono_literals;

ProgramRun runZorvik(std::vector<std::string> arguments, const std::string& commands)
{
    arguments.insert(arguments.begin(), ZORVIK_PROGRAM);
    auto began = std::chrono::steady_clock::now();
    ::testing::ChildProcess zorvik(arguments);
    EXPECT_TRUE(zorvik.started());
    zorvik.write(commands);
    zorvik.closeInput();
    ProgramRun run;
    run.output = zorvik.readAll(120s);
    run.signal = zorvik.deathSignal(10s);
    if (!run.signal)
        run.status = zorvik.wait(10s);
    run.took = std::chrono::steady_clock::now() - began;
    return run;
}

std::vector<std::string> linesAfter(const std::string& output, const std::string& prefix)
{
    std::vector<std::string> found;
    std::istringstream lines(output);
    for (std::string line; std::getline(lines, line);) {
        if (line.starts_with(prefix))
            found.push_back(line.substr(prefix.size()));
    }
    return found;
}

}
