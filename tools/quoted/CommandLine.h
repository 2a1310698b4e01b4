#pragma once

#include "engine/marketdata/sources/SimulatedMarket.h"

#include <string>
#include <variant>
#include <vector>

namespace tradevane::market {

struct CommandLine
{
    std::string host = "127.0.0.1";
    int port = 8470;
    std::string source = "simulate"; // simulate, replay or nasdaq
    std::string folder; // replay
    std::uint64_t seed = 1;
    SessionWindow session;
    int maxRows = 282;
    std::string upstream = "https://api.nasdaq.com";
    bool help = false;
};

// The arguments after the program name; an error text when they make no sense.
std::variant<CommandLine, std::string> parseCommandLine(const std::vector<std::string>& args);
std::string helpText();

} // namespace tradevane::market
