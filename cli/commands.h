#pragma once

// Sub-commands of tapwright-cli. Each takes the arguments after its own name and
// returns the process exit code.
namespace tapwright::cli {

// Exit codes of every sub-command.
inline constexpr int kExitOk = 0;
inline constexpr int kExitRefused = 1;   // the pipeline refused the design
inline constexpr int kExitBadInput = 2;  // unreadable or damaged file, bad arguments

int RunDesignCommand(int argc, char** argv);
int RunResponseCommand(int argc, char** argv);
int RunPlotCommand(int argc, char** argv);
int RunPictureCommand(int argc, char** argv);
int RunExportCommand(int argc, char** argv);
int RunMeasureCommand(int argc, char** argv);
int RunReportCommand(int argc, char** argv);

// Help texts of the sub-commands, printed by `tapwright-cli --help`.
const char* PlotCommandHelp();
const char* PictureCommandHelp();
const char* ExportCommandHelp();
const char* ReportCommandHelp();

}  // namespace tapwright::cli
