#pragma once

// Sub-commands of tapwright-cli. Each takes the arguments after its own name and
// returns the process exit code.
namespace tapwright::cli {

int RunDesignCommand(int argc, char** argv);
int RunResponseCommand(int argc, char** argv);
int RunPlotCommand(int argc, char** argv);
int RunPictureCommand(int argc, char** argv);
int RunReportCommand(int argc, char** argv);

// Help texts of the sub-commands, printed by `tapwright-cli --help`.
const char* PlotCommandHelp();
const char* PictureCommandHelp();
const char* ReportCommandHelp();

}  // namespace tapwright::cli
