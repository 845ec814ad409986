#pragma once

#include <cstdio>
#include <span>
#include <string_view>

namespace pq::cli {

// Exit codes scripts rely on.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1; // reading or writing failed
inline constexpr int kExitUsage = 2;

// Each command takes the arguments after its name and writes its report to out, messages to err.
int RunConvert(std::span<const std::string_view> args, std::FILE* out, std::FILE* err);
int RunInfo(std::span<const std::string_view> args, std::FILE* out, std::FILE* err);

} // namespace pq::cli
