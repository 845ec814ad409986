#pragma once

#include <cstdio>
#include <functional>
#include <span>
#include <string>
#include <string_view>

namespace pq::cli {

// Exit codes scripts rely on.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1; // reading or writing failed
inline constexpr int kExitUsage = 2;

// The whole tool: the arguments after the program's name, the report to out, messages to err. Nothing
// escapes it: a failure no command foresaw is reported and ends in kExitFailed.
int RunCommandLine(std::span<const std::string_view> args, std::FILE* out, std::FILE* err);

// Each command takes the arguments after its name and writes its report to out, messages to err.
int RunConvert(std::span<const std::string_view> args, std::FILE* out, std::FILE* err);
int RunInfo(std::span<const std::string_view> args, std::FILE* out, std::FILE* err);
// --settings FILE: the settings file's unattended export (its EMF, JPEG and typed copies and their upload).
int RunSettingsExport(std::span<const std::string_view> args, std::FILE* out, std::FILE* err);

// Runs a command and turns an exception that escapes it into a message on err and kExitFailed, so that
// no input ends the tool with an abort and a core dump.
int RunReportingFailures(const std::function<int()>& command, std::FILE* err);

// Prints "pqdraw-cli: FILE: MESSAGE" on err, leaving out the file's name when the message already starts
// its reason with it ("cannot read x.pdf: it is a folder, not a file").
void ReportFileFailure(std::FILE* err, const std::string& path, const std::string& message);

// The last step of a command that succeeded: a report or a notice that did not reach its stream (a full
// disk, a closed pipe) turns the success into kExitFailed, so that a script never takes lost output for
// a result. Other statuses pass through.
int FinishOutput(int status, std::FILE* out, std::FILE* err);

} // namespace pq::cli
