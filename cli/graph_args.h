#pragma once

// What `plot` and `report` share: the arguments FILE and -o OUT, the window's graph
// options (--graph G, --grid, --curve, --degrees, --range LO:HI, --zoom, --hold
// PREVIOUS_FILE), the offscreen application they draw in, and the held and current
// designs they draw.

#include <QGuiApplication>
#include <functional>
#include <memory>
#include <string>

#include "cli/commands.h"
#include "core/filter_spec.h"
#include "core/fir_design.h"
#include "graphs/graph_canvases.h"

namespace tapwright::cli {

// The graph names of --graph. Window and Legend are the small area's.
enum class GraphKind {
    Impulse,
    Magnitude,
    Db,
    Passband,
    Stopband,
    Range,
    Phase,
    Window,
    Legend,
    GroupDelay,
    UnwrappedPhase,
    PoleZero,
    Step,
};

// The name --graph takes for `kind`; null for a value that names no kind, so that
// the kinds can be listed by counting from 0 until the first null.
const char* GraphKindName(GraphKind kind);

// The areas a command draws. Both: either area, and --graph must be given (plot).
// MainOnly: the large area, the impulse graph unless --graph says otherwise (report).
enum class GraphAreas { Both, MainOnly };

struct GraphArgs {
    GraphKind kind = GraphKind::Impulse;
    bool kindGiven = false;
    std::string held;  // --hold PREVIOUS_FILE; empty without
    bool curve = false;
    bool degrees = false;
    bool zoom = false;
    bool grid = false;
    bool seconds = false;  // --seconds: group delay in seconds
    int bits = 0;          // --bits B: 2 ... 32, the quantized taps' response; 0: none
    bool rangeGiven = false;
    double low = 0.0;   // Hz, finite
    double high = 0.0;  // Hz, finite
};

struct GraphCommandArgs {
    std::string file;    // the spec file
    std::string output;  // -o OUT
    GraphArgs graph;
};

// Takes the argument after the option into its parameter; false when there is none.
using ArgValue = std::function<bool(std::string&)>;
// A command's own option: false when `arg` is not one of them; `error` set when it
// is but its value is wrong.
using OwnOption =
    std::function<bool(const std::string& arg, const ArgValue& value, std::string& error)>;

// Parses the arguments of a graph command, its own options through `own`, and
// checks that a spec file and an output (`outputName`, such as "OUT.png", in the
// text) were given. Returns an error text, or an empty string. Whether the options
// go together is checked after the command's own checks.
std::string ParseGraphCommandArgs(int argc, char** argv, GraphAreas areas, const char* outputName,
                                  const OwnOption& own, GraphCommandArgs& out);

// Whether the graph options go together: a graph named where it must be, the legend
// only under --hold, --hold only with the dB full view or its legend. Returns an
// error text or an empty string.
std::string CheckGraphArgs(const GraphArgs& args, GraphAreas areas);

// Prints "tapwright-cli COMMAND: TEXT (see tapwright-cli --help)" and returns
// kExitBadInput.
int RefuseArguments(const char* command, const std::string& text);

// The GUI application that fonts and painting need, on the offscreen platform (no
// display is ever used); null when an application already runs. Qt's notes about
// the missing runtime directory of a display-less run are not printed.
std::unique_ptr<QGuiApplication> StartOffscreenApplication();

struct GraphDesign {
    int exitCode = kExitOk;  // kExitOk, kExitRefused or kExitBadInput
    FilterSpec spec;         // of the current file, as designed
    GraphOptions options;    // the graph controls the options ask for
    HeldCurve held;          // under --hold, the previous design's curve
};

// Designs the held file (when given) and then `file` into `design`, under Hold On
// when held, and checks --range against 0 ... Fs/2 of the current file. Messages go
// to standard error, the range's as "tapwright-cli COMMAND: ...".
GraphDesign LoadGraphDesign(const char* command, const std::string& file, const GraphArgs& args,
                            CFirDesign& design);

}  // namespace tapwright::cli
