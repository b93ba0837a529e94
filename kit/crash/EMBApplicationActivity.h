#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace kit {

/// Begins a process activity with `options` (ProcessInfo's) for `reason`, which keeps the program from
/// exiting until it ends; answers its token.
std::uint64_t EMBApplicationBeginActivity(std::uint64_t options, const std::string& reason);

/// Ends the activity of `token` (0 is ignored).
void EMBApplicationEndActivity(std::uint64_t token);

/// Runs `block` inside an activity: begun before, ended after, also when the block throws.
void EMBApplicationAcivity(
    std::uint64_t options, const std::string& reason, const std::function<void()>& block);

}
